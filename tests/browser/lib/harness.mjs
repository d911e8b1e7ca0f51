// Shared pieces of the browser tests: the headless Chromium, the sample
// pages made by the real generators, a loopback server standing in for the
// results address, screenshots and the accessibility check.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const repoRoot = path.resolve(here, '..', '..', '..');
// The templates as the build assembles them (the kit inlined) into the
// program folder.
export const templateFolder = process.env.KIO_TEMPLATES || path.join(repoRoot, 'build', 'program', 'Tmplates');

export const DESKTOP = { width: 1280, height: 800 };
export const PHONE = { width: 390, height: 844 };

const CHROMIUM_ARGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// Debian's Chromium; playwright-core starts it with a fresh temporary
// --user-data-dir of its own (it refuses one passed in args).
export async function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.KIO_CHROMIUM || '/usr/bin/chromium',
    args: CHROMIUM_ARGS,
  });
}

// A page at desktop or phone size; phones get touch and the mobile viewport.
// Script errors of the page are collected in page.kioErrors (a media file
// that a sample text names but nobody copied is not the page's fault).
export async function openPage(browser, url, size = DESKTOP) {
  const phone = size.width < 600;
  const context = await browser.newContext({
    viewport: size,
    isMobile: phone,
    hasTouch: phone,
    deviceScaleFactor: phone ? 2 : 1,
  });
  const page = await context.newPage();
  page.kioErrors = [];
  page.on('pageerror', (error) => page.kioErrors.push(String(error)));
  page.on('console', (message) => {
    if (message.type() === 'error' && !message.text().startsWith('Failed to load resource')) {
      page.kioErrors.push(message.text());
    }
  });
  await page.goto(url);
  return page;
}

// Closes a page, which must have run without script errors.
export async function closeClean(page) {
  const errors = page.kioErrors;
  await page.context().close();
  assert.deepEqual(errors, [], 'script errors on the page');
}

// Runs the sample-page tool (the real editors and generators) into a fresh
// folder and returns the file URLs of the pages it wrote.
export function makeSamplePages(resultsAddress) {
  const tool = process.env.KIO_MAKE_SAMPLE_PAGES;
  if (!tool) throw new Error('KIO_MAKE_SAMPLE_PAGES must name the make_sample_pages tool');
  const outdir = fs.mkdtempSync(path.join(os.tmpdir(), 'kio-pages-'));
  const env = { ...process.env };
  if (resultsAddress) env.KIO_RESULTS_ADDRESS = resultsAddress;
  else delete env.KIO_RESULTS_ADDRESS;
  execFileSync(tool, [outdir], { env, stdio: ['ignore', 'inherit', 'inherit'] });
  const page = (name) => {
    const file = path.join(outdir, name);
    return { file, url: pathToFileURL(file).href };
  };
  return {
    outdir,
    cloze: page('cloze.htm'),
    eclipse: page('eclipse.htm'),
    memory: page('memory.htm'),
    sequence: page('sequence.htm'),
    // The same activities generated under unusual settings and texts.
    unusual: { cloze: page('cloze_unusual.htm'), eclipse: page('eclipse_unusual.htm') },
    // Lessons in Spanish and Portuguese under their own student languages.
    es: { cloze: page('cloze_es.htm'), eclipse: page('eclipse_es.htm') },
    pt: { cloze: page('cloze_pt.htm'), eclipse: page('eclipse_pt.htm') },
    // A Cloze text with alternatives, accents let pass, a picture and a sound.
    options: page('cloze_options.htm'),
    // An Arabic Cloze text, typed as numeric references.
    arabic: page('cloze_ar.htm'),
    // The list activities: Multiple choice and Dialogical.
    multi: page('multi.htm'),
    dial: page('dial.htm'),
  };
}

// For a test file: before its tests, makes the sample pages (posting to a
// loopback results server when asked) and starts the browser; after them,
// stops both. The returned object carries browser, pages and server.
export function useSamplePages({ withServer = false } = {}) {
  const session = {};
  before(async () => {
    if (withServer) session.server = await startResultsServer();
    session.pages = makeSamplePages(session.server?.address);
    session.browser = await launchBrowser();
  });
  after(async () => {
    await session.browser?.close();
    await session.server?.close();
  });
  return session;
}

export function readWin1252(file) {
  return new TextDecoder('windows-1252').decode(fs.readFileSync(file));
}

// The text of every inline script of an HTML page.
export function scriptsOf(html) {
  return [...html.matchAll(/<script\b[^>]*>([\s\S]*?)<\/script>/gi)].map((m) => m[1]);
}

// A loopback server standing in for the results address: it records every
// form posted to it and, like the real receiver, lets pages of any origin
// (file:// included) read its answer.
export async function startResultsServer() {
  const posts = [];
  const waiting = [];
  const server = http.createServer((request, response) => {
    let body = '';
    request.setEncoding('utf8');
    request.on('data', (chunk) => { body += chunk; });
    request.on('end', () => {
      if (request.method === 'POST') {
        const post = {
          path: request.url,
          type: request.headers['content-type'] || '',
          fields: Object.fromEntries(new URLSearchParams(body)),
        };
        posts.push(post);
        waiting.splice(0).forEach((resolve) => resolve(post));
      }
      response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8', 'Access-Control-Allow-Origin': '*' });
      response.end('<!DOCTYPE html><title>ok</title><p>ok</p>');
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const address = `http://127.0.0.1:${server.address().port}/results`;
  return {
    address,
    posts,
    nextPost(timeoutMs = 10000) {
      return new Promise((resolve, reject) => {
        const timer = setTimeout(() => reject(new Error('no form reached the results server')), timeoutMs);
        waiting.push((post) => { clearTimeout(timer); resolve(post); });
      });
    },
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

export function screenshotFolder() {
  const folder = process.env.KIO_SCREENSHOTS || path.join(repoRoot, 'build', 'screenshots');
  fs.mkdirSync(folder, { recursive: true });
  return folder;
}

export async function screenshot(page, name) {
  await page.screenshot({ path: path.join(screenshotFolder(), `${name}.png`), fullPage: true });
}

const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

// Runs axe-core in the page (injected once); returns its violations, each
// with its rule id, impact, number of nodes and their targets.
export async function axeViolations(page) {
  if (!(await page.evaluate(() => typeof window.axe === 'object'))) {
    await page.addScriptTag({ content: axeSource });
  }
  return page.evaluate(async () => {
    const result = await window.axe.run(document, { resultTypes: ['violations'] });
    return result.violations.map((v) => ({
      id: v.id,
      impact: v.impact,
      nodes: v.nodes.length,
      targets: v.nodes.map((n) => n.target.join(' ')),
    }));
  });
}

// The serious and critical violations, each as "rule: target, target ...".
export async function seriousViolations(page) {
  return (await axeViolations(page))
    .filter((v) => v.impact === 'serious' || v.impact === 'critical')
    .map((v) => `${v.id}: ${v.targets.join(', ')}`);
}

// Runs the real program (KIO_BINARY) through the headless driver on a copy
// of its program folder (KIO_PROGRAM_FOLDER), with the script that
// scriptFor({ dir, programCopy }) writes for a fresh folder `dir`; asserts
// that the script ran clean to EXIT 0. `name` names the temporary folders.
// Returns { dir, programCopy, transcript, cleanup }.
export function runKioScript(name, scriptFor) {
  const kio = process.env.KIO_BINARY;
  const program = process.env.KIO_PROGRAM_FOLDER;
  if (!kio || !program) throw new Error('KIO_BINARY and KIO_PROGRAM_FOLDER must name the program');
  const programCopy = fs.mkdtempSync(path.join(os.tmpdir(), `kio-${name}-program-`));
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), `kio-${name}-`));
  const cleanup = () => {
    for (const folder of [dir, programCopy]) fs.rmSync(folder, { recursive: true, force: true });
  };
  try {
    fs.cpSync(program, programCopy, { recursive: true });
    const transcript = execFileSync(kio, ['--headless', '--program-folder', programCopy, '--script', '-'], {
      input: scriptFor({ dir, programCopy }),
      encoding: 'utf8',
    });
    assert.doesNotMatch(transcript, /SCRIPT ERROR|Oops/, transcript);
    assert.match(transcript, /EXIT 0\n$/, transcript);
    return { dir, programCopy, transcript, cleanup };
  } catch (error) {
    cleanup();
    throw error;
  }
}

// A web server for the files of `folder` that announces every page as
// text/html with the given charset, as many servers and static hosts do.
export async function serveFolder(folder, charset) {
  const server = http.createServer((request, response) => {
    const name = path.basename(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = path.join(folder, name);
    if (!name || !fs.existsSync(file)) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': `text/html; charset=${charset}` });
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: (name) => `http://127.0.0.1:${server.address().port}/${name}`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// An address on the loopback interface where nothing listens.
export async function closedPortAddress() {
  const server = http.createServer();
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const { port } = server.address();
  await new Promise((resolve) => server.close(resolve));
  return `http://127.0.0.1:${port}/results`;
}

// The words a Cloze page expects in its gaps, as the student sees them.
export function clozeAnswers(page) {
  return page.evaluate(() => PalavrasDadas.map((i) => {
    const gap = document.createElement('div');
    gap.innerHTML = palavras[i];
    return gap.textContent.replace(/\s+/g, ' ').trim();
  }).filter((answer) => answer !== ''));
}

// Starts the real kio-results (KIO_RESULTS_PROGRAM) on a loopback port with
// a fresh data folder, and reads its results address, teacher view and key
// from what it prints. `extraArgs` go after the usual ones.
export async function startKioResults(extraArgs = []) {
  const program = process.env.KIO_RESULTS_PROGRAM;
  if (!program) throw new Error('KIO_RESULTS_PROGRAM must name the kio-results program');
  const data = fs.mkdtempSync(path.join(os.tmpdir(), 'kio-results-'));
  const child = spawn(program, ['--listen', '127.0.0.1', '--port', '0', '--data', data, ...extraArgs],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  let printed = '';
  await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`kio-results did not start: ${printed}`)), 10000);
    child.stdout.on('data', (chunk) => {
      printed += chunk;
      if (printed.includes('Stop with')) { clearTimeout(timer); resolve(); }
    });
    child.on('exit', (code) => { clearTimeout(timer); reject(new Error(`kio-results ended (${code}): ${printed}`)); });
  });
  const value = (label) => printed.split('\n').find((line) => line.startsWith(label)).slice(label.length).trim();
  const resultsAddress = value('Results address (for Configura.txt):');
  const teacherView = value('Teacher view:');
  return {
    child,
    data,
    resultsAddress,
    origin: new URL(resultsAddress).origin,
    teacherView,
    key: teacherView.match(/key=([0-9a-f]+)/)[1],
    stop: () => new Promise((resolve) => { child.removeAllListeners('exit'); child.on('exit', resolve); child.kill('SIGTERM'); }),
  };
}
