// A generated Cloze page, opened from file://, sends its results in the
// background to a running kio-results; the teacher view shows them and the
// CSV holds them.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {
  startKioResults,
  DESKTOP, PHONE, clozeAnswers, closeClean, launchBrowser, makeSamplePages, openPage, screenshot, seriousViolations,
} from './lib/harness.mjs';

const session = {};


before(async () => {
  session.server = await startKioResults();
  session.pages = makeSamplePages(session.server.resultsAddress);
  session.browser = await launchBrowser();
});

after(async () => {
  await session.browser?.close();
  await session.server?.stop();
  if (session.server) fs.rmSync(session.server.data, { recursive: true, force: true });
});

// The teacher view until it shows `text` (results arrive through another
// tab), bounded in time.
async function teacherViewShowing(text) {
  for (let i = 0; i < 50; i++) {
    const html = await (await fetch(session.server.teacherView)).text();
    if (html.includes(text)) return html;
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
  throw new Error(`the teacher view never showed ${text}`);
}

test('a Cloze page from file:// sends its result; the teacher view shows it escaped and the CSV holds it', async () => {
  const page = await openPage(session.browser, session.pages.cloze.url, DESKTOP);
  assert.equal(await page.locator('#results').getAttribute('action'), session.server.resultsAddress);
  const answers = await clozeAnswers(page);
  const gaps = page.locator('#text .gap input');
  for (let i = 0; i < answers.length; i++) await gaps.nth(i).fill(answers[i]);
  await page.locator('#check').click();
  await page.locator('#send summary').click();
  const name = 'Jos\u00e9 <b>da</b> Concei\u00e7\u00e3o';
  await page.locator('#fName').fill(name);

  // The page posts in the background and says that the result arrived.
  await page.locator('#results button[type=submit]').click();
  await page.locator('#sendState[data-state=sent]').waitFor({ timeout: 10000 });

  // The teacher's view, in the browser.
  await teacherViewShowing('Jos&#233; &lt;b&gt;da&lt;/b&gt; Concei&#231;&#227;o');
  // The view's policy forbids scripts; the accessibility check brings its own.
  const view = await session.browser.newPage({ viewport: DESKTOP, bypassCSP: true });
  await view.goto(session.server.teacherView);
  const row = view.locator('table').nth(1).locator('tr').nth(1);
  const cells = await row.locator('td').allTextContents();
  assert.deepEqual(cells.slice(0, 5), ['cloze.htm', name, '1', '100%', '100%'], 'page, student, attempts, latest, best');
  assert.equal(await view.locator('td b').count(), 0, 'the student\'s markup stays text');
  assert.deepEqual(await seriousViolations(view), [], 'the teacher view is accessible');
  await screenshot(view, 'results-teacher-view');
  // On the teacher's phone the wide tables scroll inside the page.
  await view.setViewportSize(PHONE);
  assert.equal(await view.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), true);
  assert.deepEqual(await seriousViolations(view), [], 'the teacher view is accessible on a phone');
  await screenshot(view, 'results-teacher-view-phone');

  // The CSV, as the download link gives it.
  const csvHref = await view.locator('a.csv').getAttribute('href');
  const csv = await (await fetch(new URL(csvHref, session.server.teacherView))).text();
  const bytes = Buffer.from(await (await fetch(new URL(csvHref, session.server.teacherView))).arrayBuffer());
  assert.deepEqual([...bytes.subarray(0, 3)], [0xef, 0xbb, 0xbf], 'a UTF-8 byte-order mark');
  const lines = csv.replace(/^\uFEFF/, '').split('\r\n');
  assert.equal(lines[0], 'received,student,page,activity,score,percent,details,page date,page time,sent from');
  assert.match(lines[1], new RegExp(`^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d,${name},cloze\\.htm,cloze,100%,100,"`));
  await view.close();
  await closeClean(page);
});

test('a page from file:// may post in the background and read the answer (CORS for the null origin)', async () => {
  const page = await openPage(session.browser, session.pages.cloze.url, DESKTOP);
  const answer = await page.evaluate(async (address) => {
    const body = new URLSearchParams({
      name: 'Bruno', file: 'cloze.htm', score: '50%', details: 'Acertos: 1/2',
      date: '2026-12-10', time: '10:30', activity: 'cloze',
    });
    const response = await fetch(address, { method: 'POST', body });
    return { status: response.status, json: await response.json() };
  }, session.server.resultsAddress);
  assert.equal(answer.status, 200);
  assert.deepEqual(answer.json, { ok: true, result: 'stored', message: 'result stored' });
  await teacherViewShowing('<td>Bruno</td>');
  await closeClean(page);
});
