// What both generated activity pages share: sound scripts, accessibility,
// printing and the send-results form.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import {
  DESKTOP, PHONE, clozeAnswers, closeClean, openPage, readWin1252, screenshot, scriptsOf, seriousViolations,
  useSamplePages,
} from './lib/harness.mjs';

const session = useSamplePages({ withServer: true });

// A little of each activity, so that marks and messages are on the page.
const play = {
  async cloze(page, { allRight }) {
    const answers = await clozeAnswers(page);
    const gaps = page.locator('#text .gap input');
    for (let i = 0; i < answers.length; i++) await gaps.nth(i).fill(allRight || i > 0 ? answers[i] : 'x');
    await page.locator('#check').click();
  },
  async eclipse(page) {
    await page.locator('#word').fill('zzqx');
    await page.locator('#word').press('Enter');
    const word = await page.evaluate(() => palavras.find((t) => /^\p{L}/u.test(t) && !PalavrasDadas.includes(t)));
    await page.locator('#word').fill(word);
    await page.locator('#word').press('Enter');
  },
};

const kinds = ['cloze', 'eclipse'];

test('every script of each page parses, and the page runs without errors', async () => {
  for (const kind of kinds) {
    const scripts = scriptsOf(readWin1252(session.pages[kind].file));
    assert.ok(scripts.length >= 3, `${kind}: instructions, data and program scripts`);
    for (const [i, script] of scripts.entries()) {
      assert.doesNotThrow(() => new Function(script), `${kind}: script ${i + 1}`);
    }
    const page = await openPage(session.browser, session.pages[kind].url);
    assert.ok(await page.evaluate(() => palavras.length > 0 && PalavrasDadas.length > 0), `${kind}: data arrived`);
    assert.notEqual((await page.locator('#instructions').textContent()).trim(), '', `${kind}: instructions`);
    await play[kind](page, { allRight: false });
    await closeClean(page);
  }
});

test('pages generated under unusual settings still parse, run and show their texts', async () => {
  for (const kind of kinds) {
    const { file, url } = session.pages.unusual[kind];
    for (const [i, script] of scriptsOf(readWin1252(file)).entries()) {
      assert.doesNotThrow(() => new Function(script), `${kind}: script ${i + 1}`);
    }
    for (const size of [DESKTOP, PHONE]) {
      const page = await openPage(session.browser, url, size);
      assert.equal(await page.locator('#instructions').innerHTML(), 'Leia e "complete": <b>n\'importe</b> <br> qual ');
      await play[kind](page, { allRight: false });
      await screenshot(page, `${kind}-${size === DESKTOP ? 'desktop' : 'phone'}-generated-unusual`);
      await closeClean(page);
    }
  }
});

test('no serious or critical accessibility violations, at desktop and phone widths, before and after playing', async () => {
  for (const kind of kinds) {
    for (const size of [DESKTOP, PHONE]) {
      const page = await openPage(session.browser, session.pages[kind].url, size);
      await page.locator('#send summary').click();
      assert.deepEqual(await seriousViolations(page), [], `${kind} at ${size.width}px`);
      await play[kind](page, { allRight: false });
      assert.deepEqual(await seriousViolations(page), [], `${kind} at ${size.width}px, after playing`);
      await closeClean(page);
    }
  }
});

test('the print button prints the page', async () => {
  for (const kind of kinds) {
    const page = await openPage(session.browser, session.pages[kind].url);
    await page.evaluate(() => { window.print = () => { window.kioPrinted = (window.kioPrinted || 0) + 1; }; });
    await page.locator('#print').focus();
    await page.keyboard.press('Enter');
    assert.equal(await page.evaluate(() => window.kioPrinted), 1, kind);
    await closeClean(page);
  }
});

test('the send-results form posts name, file, score, details, date and time to the results address', async () => {
  for (const kind of kinds) {
    const page = await openPage(session.browser, session.pages[kind].url, PHONE);
    assert.equal(await page.locator('#results').getAttribute('action'), session.server.address, kind);
    await play[kind](page, { allRight: true });
    await page.locator('#send summary').click();

    // Without a name the browser keeps the form back.
    await page.locator('#results button[type=submit]').click();
    await page.waitForTimeout(300);
    assert.equal(session.server.posts.length, 0, `${kind}: nothing sent without a name`);

    await page.locator('#fName').fill('Jos\u00e9 da Concei\u00e7\u00e3o');
    const posted = session.server.nextPost();
    await page.locator('#results button[type=submit]').click();
    const { path, type, fields } = await posted;
    session.server.posts.length = 0;
    assert.equal(path, '/results');
    assert.match(type, /application\/x-www-form-urlencoded/);
    const today = new Date();
    const two = (n) => String(n).padStart(2, '0');
    assert.equal(fields.name, 'Jos\u00e9 da Concei\u00e7\u00e3o', `${kind}: the name survives in UTF-8`);
    assert.equal(fields.file, `${kind}.htm`);
    assert.equal(fields.activity, kind);
    assert.equal(fields.date, `${today.getFullYear()}-${two(today.getMonth() + 1)}-${two(today.getDate())}`);
    assert.match(fields.time, /^\d\d:\d\d$/);
    const shown = await page.locator('#perf').textContent();
    assert.equal(fields.score, shown, `${kind}: the score sent is the score shown`);
    assert.match(fields.score, /^\d+%$/);
    if (kind === 'cloze') {
      const gaps = await page.locator('#text .gap input').count();
      const lines = fields.details.split(/\r?\n/);
      assert.equal(fields.score, '100%');
      assert.match(lines[0], new RegExp(`${gaps}/${gaps}.*: 1$`), 'right answers and attempts');
      assert.equal(lines.length, gaps + 1, 'then one line per gap');
      assert.ok(lines.slice(1).every((line) => line.endsWith('+')), lines.join(' | '));
    } else {
      assert.match(fields.details, /\+\S+/, 'the guesses, found ones marked +');
      assert.match(fields.details, /-zzqx/, 'and missed ones marked -');
    }
    await closeClean(page);
  }
});
