// A lexical page made by the real program through the headless driver, from
// a real English text (the preamble of the GNU GPL that every Debian system
// ships) against the starter dictionary, then read in Chromium: a student
// opens entries by click, by keyboard and by touch and closes them.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { DESKTOP, PHONE, closeClean, launchBrowser, openPage, runKioScript, screenshot, seriousViolations } from './lib/harness.mjs';

const session = {};

// The preamble's first paragraphs, as a teacher would paste them.
function readingText() {
  const gpl = fs.readFileSync('/usr/share/common-licenses/GPL-3', 'latin1').split('\n');
  const start = gpl.findIndex((line) => line.trim() === 'Preamble');
  const paragraphs = gpl.slice(start + 2, start + 20).join('\n').trim().split(/\n\s*\n/).slice(0, 3);
  return paragraphs.map((p) => p.replace(/\s+/g, ' ').trim()).join('\\r\\n\\r\\n');
}

before(async () => {
  const run = runKioScript('lexis', ({ dir, programCopy }) => [
    'press 1003', `choose ${path.join(programCopy, 'ingles.kio')}`,
    `type 1072 ${readingText()}`, 'press 1725', `choose ${path.join(dir, 'freedom.htm')}`, 'answer No',
    'press 2', 'answer No', 'press 2', 'answer Yes',
  ].join('\n') + '\n');
  session.cleanup = run.cleanup;
  session.url = pathToFileURL(path.join(run.dir, 'freedom.htm')).href;
  session.browser = await launchBrowser();
});

after(async () => {
  await session.browser?.close();
  session.cleanup?.();
});

const entry = (page) => page.locator('#entry');
const links = (page) => page.locator('#text a[onclick]');

async function expectEntryOpen(page, word) {
  await assert.doesNotReject(entry(page).waitFor({ state: 'visible' }));
  const head = await page.locator('#entryText font').first();
  assert.equal((await head.textContent()).toLowerCase(), word.toLowerCase());
  assert.equal(await head.evaluate((e) => getComputedStyle(e).color), 'rgb(176, 0, 0)');
  // Named for screen readers by its headword, and holding the focus.
  assert.equal(await page.evaluate(() => {
    const d = document.getElementById('entry');
    return document.getElementById(d.getAttribute('aria-labelledby')).textContent;
  }), await head.textContent());
  assert.ok(await page.evaluate(() => document.getElementById('entry').contains(document.activeElement)));
}

test('the text links most of its words; every link is reachable and looks like a link', async () => {
  const page = await openPage(session.browser, session.url, DESKTOP);
  const count = await links(page).count();
  assert.ok(count > 50, `only ${count} links`);
  const words = await page.locator('#text').evaluate((e) => e.textContent.match(/[A-Za-z]+/g).length);
  console.log(`links: ${count} of ${words} words`);
  const style = await links(page).first().evaluate((a) => getComputedStyle(a).textDecorationLine);
  assert.equal(style, 'underline');
  assert.equal(await links(page).first().getAttribute('href'), 'javascript:void(0);');
  await closeClean(page);
});

test('a student opens entries by click, keyboard and touch and closes them', async () => {
  // Click, and Escape to close; the focus goes back to the word.
  const desktop = await openPage(session.browser, session.url, DESKTOP);
  const licenses = links(desktop).filter({ hasText: /^licenses$/ }).first();
  await licenses.click();
  await expectEntryOpen(desktop, 'license');
  assert.match(await desktop.locator('#entryText').textContent(), /licen/i);
  await screenshot(desktop, 'lexis-entry-desktop');
  await desktop.keyboard.press('Escape');
  await entry(desktop).waitFor({ state: 'hidden' });
  assert.equal(await licenses.evaluate((a) => a === document.activeElement), true);

  // Keyboard only: Tab to a word, Enter, then the close button.
  await desktop.locator('body').focus();
  let focused = '';
  for (let i = 0; i < 40 && !/^freedom$/i.test(focused); i++) {
    await desktop.keyboard.press('Tab');
    focused = await desktop.evaluate(() => (document.activeElement.closest('#text a') || {}).textContent || '');
  }
  assert.match(focused, /^freedom$/i);
  await desktop.keyboard.press('Enter');
  await expectEntryOpen(desktop, 'freedom');
  await desktop.keyboard.press('Tab');
  assert.equal(await desktop.evaluate(() => document.activeElement.id), 'entryClose');
  await desktop.keyboard.press('Enter');
  await entry(desktop).waitFor({ state: 'hidden' });
  assert.deepEqual(await seriousViolations(desktop), []);
  await screenshot(desktop, 'lexis-desktop');
  await closeClean(desktop);

  // Touch on a phone.
  const phone = await openPage(session.browser, session.url, PHONE);
  const change = links(phone).filter({ hasText: /^change$/ }).first();
  await change.tap();
  await expectEntryOpen(phone, 'change');
  assert.deepEqual(await seriousViolations(phone), []);
  await screenshot(phone, 'lexis-entry-phone');
  await phone.locator('#entryClose').tap();
  await entry(phone).waitFor({ state: 'hidden' });
  const width = await phone.evaluate(() => document.documentElement.scrollWidth);
  assert.ok(width <= PHONE.width, `the page is ${width}px wide on a phone`);
  await screenshot(phone, 'lexis-phone');
  await closeClean(phone);
});
