// Activities a teacher does not type item by item, made end to end by the
// real program and finished by a student in Chromium:
// - a GIFT question bank turned into a Multiple choice document by
//   `kio convert`, generated in the Multiple choice editor;
// - a reading text saved in the lexical page editor, turned into a Cloze by
//   `kio activities` against the starter dictionary, generated in the Cloze
//   editor.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { closeClean, launchBrowser, openPage, readWin1252, runKioScript, screenshot } from './lib/harness.mjs';

// Three multiple-choice questions; the second has two right answers (GIFT
// weights above 0), the third its right answer in the middle.
const BANK = [
  '// Unit 1: a short quiz.',
  'What is the capital of France? {=Paris ~London ~Rome}',
  '',
  'Which of these are fruits? {~%50%apple ~%50%pear ~%-100%stone}',
  '',
  'What colour is the sky on a clear day? {~green =blue ~red}',
  '',
].join('\n');

// What the student chooses for each question, in the page's order.
const RIGHT = [
  { question: 'What is the capital of France?', options: ['Paris'], kind: 'radio' },
  { question: 'Which of these are fruits?', options: ['apple', 'pear'], kind: 'checkbox' },
  { question: 'What colour is the sky on a clear day?', options: ['blue'], kind: 'radio' },
];

const READING = 'The old farmer walks to the market every morning. He sells fresh apples and warm bread '
  + 'to his neighbours. The children run across the green field behind the house. In the evening '
  + 'the family eats dinner and reads books together.';

const session = { cleanups: [] };

function kio(args, cwd) {
  return execFileSync(process.env.KIO_BINARY, args, { cwd, encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
}

// Runs a script through the headless driver, keeping its folders until the
// end of the file.
function teacher(name, scriptFor) {
  const run = runKioScript(name, scriptFor);
  session.cleanups.push(run.cleanup);
  return run;
}

// The pages speak to the student in English, as the lessons do.
const englishPages = (programCopy) => ['press 1265', `choose ${path.join(programCopy, 'english.stu')}`];

before(async () => {
  session.work = fs.mkdtempSync(path.join(os.tmpdir(), 'kio-made-'));
  session.cleanups.push(() => fs.rmSync(session.work, { recursive: true, force: true }));
  session.browser = await launchBrowser();
});

after(async () => {
  await session.browser?.close();
  for (const cleanup of session.cleanups) cleanup();
});

const score = (page) => page.evaluate(() => ({
  perf: document.getElementById('perf').textContent,
  right: document.getElementById('right').textContent,
  trials: document.getElementById('trials').textContent,
}));

// The score once the activity is over, and whether the page has ended it:
// a finished page offers the student to try again.
async function finished(page) {
  return { ...(await score(page)), tryAgain: await page.locator('#tryAgain').isVisible() };
}

test('a GIFT bank converted by kio convert and generated in the Multiple choice editor is finished by a student', async () => {
  const bank = path.join(session.work, 'bank.gift');
  fs.writeFileSync(bank, BANK);
  assert.match(kio(['convert', 'bank.gift', 'bank.mul'], session.work), /3 of 3 questions converted\./);
  const document = path.join(session.work, 'bank.mul');
  assert.ok(fs.existsSync(document), 'the document was written beside the bank');

  const run = teacher('made-quiz', ({ dir, programCopy }) => [
    ...englishPages(programCopy), 'press 1018', 'press 1921', `choose ${document}`,
    'press 1924', `choose ${path.join(dir, 'quiz.htm')}`, 'answer No',
    'press 2', 'press 2', 'answer Yes',
  ].join('\n') + '\n');
  const page = await openPage(session.browser, pathToFileURL(path.join(run.dir, 'quiz.htm')).href);

  for (const [n, expected] of RIGHT.entries()) {
    const item = page.locator('#items .item:not([hidden])');
    assert.equal(await page.locator('#where').textContent(), `Question ${n + 1} of ${RIGHT.length}`);
    assert.match(await item.locator('.question').textContent(), new RegExp(expected.question.replace('?', '\\?')));
    const inputs = item.locator('.option input');
    assert.equal(await inputs.count(), 3);
    for (let k = 0; k < 3; k++) assert.equal(await inputs.nth(k).getAttribute('type'), expected.kind);
    for (const option of expected.options) {
      await item.locator('.option', { hasText: option }).locator('input').check();
    }
    await page.click('#check');
    assert.match(await item.locator('.feedback').textContent(), /\S/, 'the check said something');
    assert.equal((await score(page)).right, `${n + 1}/${RIGHT.length}`);
    if (n + 1 < RIGHT.length) await page.click('#next');
  }
  assert.deepEqual(await finished(page), { perf: '100%', right: '3/3', trials: '3', tryAgain: true });
  await screenshot(page, 'made-quiz-done');
  await closeClean(page);
});

test('a Cloze made by kio activities from a reading text and generated in the Cloze editor is finished by a student', async () => {
  // The teacher writes the text in the lexical page editor and saves it.
  const text = path.join(session.work, 'reading.hpl');
  teacher('made-reading', ({ programCopy }) => [
    'press 1003', `choose ${path.join(programCopy, 'ingles.kio')}`,
    `type 1072 ${READING}`, 'press 1724', `choose ${text}`,
    'press 2', 'press 2', 'answer Yes',
  ].join('\n') + '\n');
  assert.ok(fs.existsSync(text), 'the text was saved');

  const made = path.join(session.work, 'made');
  fs.mkdirSync(made);
  const dictionary = path.join(process.env.KIO_PROGRAM_FOLDER, 'ingles.kio');
  assert.match(kio(['activities', text, '--dictionary', dictionary, '--out', made], session.work), /reading\.clo/);
  const cloze = path.join(made, 'reading.clo');
  // The gaps' answers are the bracketed words of the made text.
  const answers = [...readWin1252(cloze).matchAll(/\[([^\]]*)\]/g)].map((m) => m[1]);
  assert.ok(answers.length >= 3, `the text has gaps: ${answers}`);
  for (const answer of answers) assert.ok(READING.includes(answer), `${answer} stands in the text`);

  const run = teacher('made-cloze', ({ dir, programCopy }) => [
    ...englishPages(programCopy), 'press 1009', 'press 1422', `choose ${cloze}`,
    'press 1425', `choose ${path.join(dir, 'reading.htm')}`, 'answer No',
    'press 2', 'press 2', 'answer Yes',
  ].join('\n') + '\n');
  const page = await openPage(session.browser, pathToFileURL(path.join(run.dir, 'reading.htm')).href);
  const gaps = page.locator('#text .gap input');
  assert.equal(await gaps.count(), answers.length);
  assert.equal(await page.locator('#tryAgain').count(), 0, 'not finished before the check');
  for (const [i, answer] of answers.entries()) await gaps.nth(i).fill(answer);
  await page.click('#check');
  assert.deepEqual(await finished(page), {
    perf: '100%', right: `${answers.length}/${answers.length}`, trials: '1', tryAgain: true,
  });
  await screenshot(page, 'made-cloze-done');
  await closeClean(page);
});
