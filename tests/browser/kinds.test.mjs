// Every kind of page a teacher makes, on a 360 px phone and a 1280 px
// desktop: the six activities (made by the real editors), and the Basic,
// lexical, Menu and Index pages (made by the real program through the
// headless driver). On each: axe-core finds nothing serious or critical,
// nothing scrolls sideways, and on the phone every text shown is at least
// 16 px. Screenshots of each go to the screenshot folder.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import {
  DESKTOP, closeClean, launchBrowser, makeSamplePages, openPage, runKioScript, screenshot, seriousViolations,
} from './lib/harness.mjs';

const SMALL_PHONE = { width: 360, height: 740 };
const READING = 'leitura.htm';
const session = {};

// A reading, a Menu over it, an Index over both, and a lexical page from
// the starter dictionary, as a teacher makes them.
function teacherScript({ dir, programCopy }) {
  const at = (name) => path.join(dir, name);
  return [
    'press 1147', 'type 1601 {5.siz}Reading\\r\\nRead this text before the activities. {3.siz}It is short.',
    'press 1625', `choose ${at(READING)}`, 'answer No', 'press 2', 'answer No',
    'press 1094', 'type 1173 Unit 1\\r\\nFood', 'press 1093', `choose ${at(READING)}`,
    'press 1106', `choose ${at('menu.htm')}`, 'answer No', 'press 2', 'answer No',
    'press 1179', 'press 1108', `choose ${at('index.html')}`, 'type 1182 My course\\r\\n2027',
    'press 1910', `choose ${at('menu.htm')}`, 'type 1941 Unit 1: activities', 'press 1912', 'press 1914',
    'press 1910', `choose ${at(READING)}`, 'type 1941 Unit 1: reading', 'press 1912',
    'press 1924', `choose ${at('index.html')}`, 'answer No', 'press 2', 'answer No',
    'press 1003', `choose ${path.join(programCopy, 'ingles.kio')}`,
    'type 1072 The house is small. The cat sleeps in the house in front of the garden.',
    'press 1725', `choose ${at('lexis.htm')}`, 'answer No', 'press 2', 'answer No',
    'press 2', 'answer Yes',
  ].join('\n') + '\n';
}

before(async () => {
  const run = runKioScript('kinds', teacherScript);
  session.cleanup = run.cleanup;
  const made = (name) => pathToFileURL(path.join(run.dir, name)).href;
  const samples = makeSamplePages();
  session.samples = samples.outdir;
  session.pages = {
    cloze: samples.cloze.url, eclipse: samples.eclipse.url, memory: samples.memory.url,
    sequence: samples.sequence.url, multi: samples.multi.url, dial: samples.dial.url,
    basic: made(READING), lexis: made('lexis.htm'), menu: made('menu.htm'), index: made('index.html'),
  };
  session.browser = await launchBrowser();
});

after(async () => {
  await session.browser?.close();
  session.cleanup?.();
  if (session.samples) fs.rmSync(session.samples, { recursive: true, force: true });
});

// The texts shown smaller than 16 px: each as "TAG.class: size".
const smallTexts = (page) => page.evaluate(() => {
  const small = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  while (walker.nextNode()) {
    const node = walker.currentNode;
    const element = node.parentElement;
    if (!node.textContent.trim() || !element || element.closest('script, style, noscript, template, .kio-sr')) continue;
    const box = element.getBoundingClientRect();
    const style = getComputedStyle(element);
    if (box.width === 0 || box.height === 0 || style.visibility === 'hidden') continue;
    const size = parseFloat(style.fontSize);
    if (size < 16) small.push(`${element.tagName}.${element.className}: ${size}px "${node.textContent.trim().slice(0, 24)}"`);
  }
  return small;
});

for (const kind of ['cloze', 'eclipse', 'memory', 'sequence', 'multi', 'dial', 'basic', 'lexis', 'menu', 'index']) {
  test(`${kind}: no serious finding, no sideways scroll, text at least 16 px on a 360 px phone`, async () => {
    for (const [label, size] of [['360', SMALL_PHONE], ['1280', DESKTOP]]) {
      const page = await openPage(session.browser, session.pages[kind], size);
      assert.deepEqual(await seriousViolations(page), [], `${kind} at ${label} px`);
      const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
      assert.ok(overflow <= 0, `${kind} at ${label} px: ${overflow} px wider than the screen`);
      if (size === SMALL_PHONE) assert.deepEqual(await smallTexts(page), [], `${kind} at ${label} px`);
      await screenshot(page, `kind-${kind}-${label}`);
      await closeClean(page);
    }
  });
}

test('the pages say their language; the lexical text says the dictionary\'s', async () => {
  const page = await openPage(session.browser, session.pages.lexis);
  assert.equal(await page.evaluate(() => document.querySelector('#text [lang]')?.lang), 'en');
  assert.equal(await page.evaluate(() => document.querySelector('#text [lang]').textContent.includes('garden')), true);
  await closeClean(page);
  for (const kind of ['basic', 'menu', 'index']) {
    const fixed = await openPage(session.browser, session.pages[kind]);
    const found = await fixed.evaluate(() => ({
      lang: document.documentElement.lang,
      main: document.querySelectorAll('main').length,
      heading: document.querySelector('h1')?.textContent.replace(/\s+/g, ' ').trim() || '',
      blocked: document.body.hasAttribute('oncontextmenu') || document.body.hasAttribute('onselectstart'),
      viewport: document.querySelector('meta[name=viewport]')?.content,
    }));
    assert.notEqual(found.lang, '', kind);
    assert.equal(found.main, 1, kind);
    assert.equal(found.blocked, false, kind);
    assert.equal(found.viewport, 'width=device-width, initial-scale=1', kind);
    assert.equal(found.heading, { basic: '', menu: 'Unit 1 Food', index: 'My course 2027' }[kind], kind);
    await closeClean(fixed);
  }
});
