// A Cloze page generated with an xAPI endpoint as its results address sends
// its results as xAPI statements to a running kio-results: read back from
// /xapi/statements with the teacher's key, each one valid for the Learning
// Locker statement validator. The same page generated with the ordinary
// address posts its form as before and carries no xAPI part.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {
  DESKTOP, clozeAnswers, closeClean, launchBrowser, makeSamplePages, openPage, startKioResults,
} from './lib/harness.mjs';

const require = createRequire(import.meta.url);
const validate = require('@learninglocker/xapi-validation').default;

const session = {};
const VERB = 'http://adlnet.gov/expapi/verbs/';


before(async () => {
  session.server = await startKioResults(['--limit', '0']);
  session.xapiPages = makeSamplePages(`${session.server.origin}/xapi/`);
  session.plainPages = makeSamplePages(session.server.resultsAddress);
  session.browser = await launchBrowser();
});

after(async () => {
  await session.browser?.close();
  await session.server?.stop();
  if (session.server) fs.rmSync(session.server.data, { recursive: true, force: true });
  for (const pages of [session.xapiPages, session.plainPages]) {
    if (pages) fs.rmSync(pages.outdir, { recursive: true, force: true });
  }
});

// Every statement kept, read as an xAPI client reads them; those of one
// request share their times, so they come in the order of their verbs
// (answered, completed, passed) and answers.
const RANK = ['attempted', 'answered', 'completed', 'passed', 'failed'];
const rank = (s) => [RANK.indexOf(s.verb.id.slice(VERB.length)), Number(s.object.id.split('#answer-')[1] || 0)];
async function storedStatements(agent) {
  const query = agent ? `&agent=${encodeURIComponent(JSON.stringify(agent))}` : '';
  const response = await fetch(`${session.server.origin}/xapi/statements?limit=500${query}`, {
    headers: {
      'X-Experience-API-Version': '1.0.3',
      Authorization: 'Basic ' + Buffer.from(`teacher:${session.server.key}`).toString('base64'),
    },
  });
  assert.equal(response.status, 200);
  return (await response.json()).statements.sort((a, b) => {
    const [x, y] = [rank(a), rank(b)];
    return x[0] - y[0] || x[1] - y[1];
  });
}

async function send(page, name) {
  if (!(await page.locator('#send').evaluate((details) => details.open))) await page.locator('#send summary').click();
  await page.locator('#fName').fill(name);
  await page.locator('#results button[type=submit]').click();
  await page.locator('#sendState[data-state=sent]').waitFor({ timeout: 10000 });
}

test('a Cloze page with an xAPI address sends statements: attempted, then answered per gap, completed, passed', async () => {
  const { url } = session.xapiPages.cloze;
  const html = fs.readFileSync(session.xapiPages.cloze.file, 'latin1');
  assert.match(html, /^[\t\r\n -~]*$/, 'the page stays pure ASCII');
  assert.equal(html.match(/Student-page kit, xAPI part/g)?.length, 1, 'the part is in the page once');

  const page = await openPage(session.browser, url, DESKTOP);
  const answers = await clozeAnswers(page);
  const gaps = page.locator('#text .gap input');
  const name = 'Jos\u00e9 da Concei\u00e7\u00e3o';

  // Sent before any attempt: the page's attempt so far, nothing answered.
  await send(page, name);
  let statements = await storedStatements();
  assert.deepEqual(statements.map((s) => s.verb.id), [VERB + 'attempted']);

  // One gap wrong at the first check, then all right: finished.
  await gaps.nth(0).fill(answers[0] + 'x');
  for (let i = 1; i < answers.length; i++) await gaps.nth(i).fill(answers[i]);
  await page.locator('#check').click();
  await gaps.nth(0).fill(answers[0]);
  await page.locator('#check').click();
  await page.locator('#done').waitFor();
  const score = await page.locator('#fScore').inputValue();
  await send(page, name);
  statements = (await storedStatements()).slice(1);

  for (const s of statements) assert.deepEqual(validate(s), [], JSON.stringify(s));
  assert.deepEqual(statements.map((s) => s.verb.id.slice(VERB.length)),
    [...answers.map(() => 'answered'), 'completed', 'passed']);
  const actor = { objectType: 'Agent', name, account: { homePage: session.server.origin, name } };
  for (const s of statements) assert.deepEqual(s.actor, actor, 'the student is the typed name');
  answers.forEach((answer, i) => {
    const s = statements[i];
    assert.equal(s.object.id, `${url}#answer-${i + 1}`);
    assert.equal(s.object.definition.interactionType, 'fill-in');
    assert.deepEqual(s.context.contextActivities.parent, [{ objectType: 'Activity', id: url }]);
    assert.deepEqual(s.result, { response: answer, success: true });
  });
  const [completed, passed] = statements.slice(-2);
  assert.equal(completed.object.id, url, 'the page is the activity');
  assert.equal(passed.object.id, url);
  assert.equal(score, '100%');
  assert.deepEqual(passed.result, { score: { scaled: 1, raw: 100, min: 0, max: 100 }, success: true, completion: true });
  assert.deepEqual(completed.result, { score: { scaled: 1, raw: 100, min: 0, max: 100 }, completion: true });

  // Send again without a change: the same statements (the same ids), which
  // the store keeps once; only a new minute on the form's clock makes it
  // another result.
  const sentAt = await page.locator('#fTime').inputValue();
  await page.locator('#results button[type=submit]').click();
  await page.locator('#sendState[data-state=sent]').waitFor({ timeout: 10000 });
  const again = (await storedStatements()).length;
  const resentAt = await page.locator('#fTime').inputValue();
  assert.equal(again, 1 + statements.length * (sentAt === resentAt ? 1 : 2), 'a resend is stored once');

  // The ordinary results post was not made: the teacher view holds no result.
  const view = await (await fetch(session.server.teacherView)).text();
  assert.ok(!view.includes('Jos&#233;'), 'no form post reached the results');
  await closeClean(page);
});

test('a Multiple choice page: a wrong first answer, sent before the end', async () => {
  const page = await openPage(session.browser, session.xapiPages.multi.url, DESKTOP);
  await page.focus('#items .item:not([hidden]) input');
  await page.keyboard.press('Space');
  await page.click('#check');
  await send(page, 'Carla');
  const statements = await storedStatements({ objectType: 'Agent', account: { homePage: session.server.origin, name: 'Carla' } });
  for (const s of statements) assert.deepEqual(validate(s), [], JSON.stringify(s));
  assert.deepEqual(statements.map((s) => s.verb.id.slice(VERB.length)), ['attempted', 'answered']);
  const [attempted, answered] = statements;
  assert.equal(answered.object.id, `${session.xapiPages.multi.url}#answer-1`);
  assert.equal(answered.object.definition.interactionType, 'other');
  assert.equal(answered.result.success, false);
  assert.equal(answered.result.response, await page.locator('#items .item:not([hidden]) input:checked')
    .evaluate((input) => {
      const text = input.nextElementSibling.cloneNode(true);
      text.querySelector('.said').remove();
      return text.textContent.replace(/\s+/g, ' ').trim();
    }), 'the chosen option');
  assert.deepEqual(attempted.result, { score: { scaled: 0, raw: 0, min: 0, max: 100 }, completion: false });
  await closeClean(page);
});

test('statements the record store refuses leave the page saying "not sent", with the copy button', async () => {
  const page = await openPage(session.browser, session.xapiPages.cloze.url, DESKTOP);
  await page.route('**/xapi/statements', (route) => route.fulfill({ status: 400, body: '{"error":"refused"}' }));
  await page.locator('#send summary').click();
  await page.locator('#fName').fill('Ana');
  await page.locator('#results button[type=submit]').click();
  await page.locator('#sendState[data-state=failed]').waitFor({ timeout: 10000 });
  assert.match(await page.locator('#sendState').textContent(), /400/);
  assert.ok(await page.locator('#copy').isVisible());
  await closeClean(page);
});

test('the same page with the ordinary address posts its form as before, with no xAPI part', async () => {
  const html = fs.readFileSync(session.plainPages.cloze.file, 'latin1');
  assert.ok(!html.includes('xAPI part'), 'no xAPI part in an ordinary page');
  const count = (await storedStatements()).length;
  const page = await openPage(session.browser, session.plainPages.cloze.url, DESKTOP);
  await send(page, 'Bruno Prado');
  const view = await (await fetch(session.server.teacherView)).text();
  assert.ok(view.includes('Bruno Prado'), 'the result reached the teacher view');
  assert.equal((await storedStatements()).length, count, 'no statements from an ordinary page');
  await closeClean(page);
});
