// What a student gets beyond answering: the answers shown after a first
// check (Multiple choice, Dialogical, Sequence), trying a finished activity
// again, partial credit for several right options, Dialogical answers whose
// sentence punctuation differs, kept progress on a shared computer, the
// printed list pages, and Memory's card text on a small phone. The pages are
// the built templates filled the way the generator fills them.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { closeClean, launchBrowser, openPage, screenshot, templateFolder } from './lib/harness.mjs';

// The texts the generator puts for the student-language placeholders.
const FILLED = {
  t_r_i_a_l_s: 'Tries', p_e_r_f_o_r_m_a_n_c_e: 'Score', r_i_g_h_t: 'Right', d_o_n_e: 'Check',
  p_r_i_n_t: 'Print', s_e_n_d: 'Send', i_f_o_n_l_i_n_e: 'online', En_via: 'Send', n_a_m_e: 'Name',
  f_i_l_e: 'File', d_e_t_a_i_l_s: 'Details', d_a_t_e: 'Date', t_i_m_e: 'Time', i_n_s_t_r_u: '*',
  s_e_g_m_e_n_t_s: 'Parts', 'Atividade concluida': 'Well done!',
};

let dir;
let browser;
before(async () => {
  dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kio-finishing-'));
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

// Writes the template `kind` filled for `lang` with `data` between its
// markers as `name`; returns its address.
function makePage(kind, name, data, lang = 'en') {
  let text = fs.readFileSync(path.join(templateFolder, `tmplate_${kind}.htm`), 'latin1');
  text = text.replaceAll('l_a_n_g', lang).replaceAll('t_i_t_l_e', name);
  for (const [from, to] of Object.entries(FILLED)) text = text.replaceAll(from, to);
  const p1 = text.indexOf('//INICIA DADOS');
  const p2 = text.indexOf('//TERMINA DADOS');
  text = text.slice(0, p1 + 18) + '\r\n' + data + text.slice(p2 - 2);
  const file = path.join(dir, name);
  fs.writeFileSync(file, text, 'latin1');
  return pathToFileURL(file).href;
}

const quote = (s) => `'${s.replace(/\\/g, '\\\\').replace(/'/g, "\\'")}'`;
const array = (list) => `[${list.map((x) => (typeof x === 'number' ? x : quote(x))).join(', ')}]`;

// Dialogical answers are written turned 10 places along A-Z a-z 0-9.
const ALPHABET = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789';
const turn = (s) => [...s].map((c) => {
  const p = ALPHABET.indexOf(c);
  return p < 0 ? c : ALPHABET[(p + 10) % ALPHABET.length];
}).join('');

function multiData(questions) {
  return questions.map((q, i) => `Texto[${i}] = '#';\r\nQuestao[${i}] = ${quote(q.question)};\r\nAvalia[${i}] = 'S';\r\n` +
    `Golpe[${i}] = ${array(q.options)};\r\nInsegura[${i}] = ${array(q.right)};\r\n` +
    `Feedback[${i}] = ${array(q.options.map(() => ''))};\r\nErrada[${i}] = ' ';\r\n`).join('');
}

function dialData(questions) {
  return questions.map((q, i) => `Texto[${i}] = '#';\r\nQuestao[${i}] = ${quote(q.question)};\r\nAvalia[${i}] = 'S';\r\n` +
    `Resposta[${i}] = ${array(q.answers.map(turn))};\r\nCerta[${i}] = ['Bien.'];\r\nErrada[${i}] = ['No.'];\r\n`).join('');
}

const state = (page) => page.evaluate(() => {
  const item = [...document.querySelectorAll('#items .item')].find((s) => !s.hidden);
  const showAll = document.getElementById('showAll');
  return {
    perf: document.getElementById('perf').textContent,
    right: document.getElementById('right')?.textContent,
    feedback: item ? item.querySelector('.feedback').textContent.replace(/\s+/g, ' ').trim() : '',
    showAll: showAll ? !showAll.hidden : false,
    done: document.getElementById('done').textContent.replace(/\s+/g, ' ').trim(),
    tryAgain: !!document.getElementById('tryAgain'),
  };
});

const FRUITS = [
  { question: 'Which are fruits?', options: ['apple', 'pear', 'stone', 'plum'], right: [1, 1, 0, 1] },
  { question: 'Which is a colour?', options: ['red', 'dog'], right: [1, 0] },
];

test('multiple choice: partial credit for several right options, "1 of 3", the rule in the score', async () => {
  const url = makePage('multi', 'fruits.htm', multiData(FRUITS));
  const cases = [
    // chosen options -> what the page says, the credit at the first check
    { picks: [0], said: '(1 of 3)', right: '0.33/2' },
    { picks: [0, 1, 2], said: '(1 of 3)', right: '0.33/2' },
    { picks: [0, 2], said: '(0 of 3)', right: '0/2' },
    { picks: [2], said: '(0 of 3)', right: '0/2' },
    { picks: [0, 1], said: '(2 of 3)', right: '0.67/2' },
  ];
  for (const c of cases) {
    const page = await openPage(browser, url);
    const boxes = page.locator('#items .item:not([hidden]) .option input');
    for (const k of c.picks) await boxes.nth(k).check();
    await page.click('#check');
    let now = await state(page);
    assert.match(now.feedback, /^Not yet/, String(c.picks));
    assert.ok(now.feedback.endsWith(c.said), `${c.picks}: ${now.feedback}`);
    assert.equal(now.right, c.right, String(c.picks));
    // Right at a second check: the credit of the first stays.
    for (let k = 0; k < 4; ++k) await boxes.nth(k).setChecked(FRUITS[0].right[k] === 1);
    await page.click('#check');
    now = await state(page);
    assert.match(now.feedback, /^Right!/);
    assert.equal(now.right, c.right, String(c.picks));
    await page.evaluate(() => localStorage.clear());
    await closeClean(page);
  }
  // Kept with the progress.
  const page = await openPage(browser, url);
  await page.locator('#items .item:not([hidden]) .option input').nth(0).check();
  await page.click('#check');
  await page.reload();
  assert.equal((await state(page)).right, '0.33/2');
  await page.evaluate(() => localStorage.clear());
  await closeClean(page);
});

test('multiple choice: the answers shown after a first check count as not found; try again on the finished page', async () => {
  const url = makePage('multi', 'show.htm', multiData(FRUITS));
  const page = await openPage(browser, url);
  assert.equal((await state(page)).showAll, false, 'no answers before a first check');
  // The second question right at once, the first not tried.
  await page.click('#next');
  await page.locator('#items .item:not([hidden]) .option input').nth(0).check();
  await page.click('#check');
  assert.equal((await state(page)).showAll, true);
  await page.click('#showAll');
  let now = await state(page);
  assert.equal(now.right, '1/2');
  assert.equal(now.perf, '50%');
  assert.equal(now.showAll, false);
  assert.match(now.done, /Well done!/);
  assert.equal(now.tryAgain, true);
  await page.click('#prev');
  const shown = await page.evaluate(() => {
    const item = [...document.querySelectorAll('#items .item')].find((s) => !s.hidden);
    return [...item.querySelectorAll('.option input')].map((i) => [i.checked, i.disabled]);
  });
  assert.deepEqual(shown, [[true, true], [true, true], [false, true], [true, true]]);
  assert.equal((await state(page)).feedback, 'shown');
  assert.match(await page.inputValue('#fDetails'), /1\. apple \| pear \| plum \(shown\)/);
  // Kept as it is; try again starts afresh.
  await page.reload();
  now = await state(page);
  assert.equal(now.right, '1/2');
  assert.equal(now.tryAgain, true);
  await page.click('#tryAgain');
  await page.waitForLoadState();
  now = await state(page);
  assert.deepEqual([now.right, now.done, now.tryAgain, now.showAll], ['-', '', false, false]);
  await closeClean(page);
});

test('dialogical: sentence punctuation at the ends counts no more than case; inside it still does; answers shown', async () => {
  const url = makePage('dial', 'yo.htm', dialData([
    { question: '\u00bfC\u00f3mo te llamas?', answers: ['Me llamo \u00cd\u00f1igo'] },
    { question: '\u00bfDe d\u00f3nde eres?', answers: ['Soy de Espa\u00f1a.'] },
    { question: 'Di: hola, amigo', answers: ['Hola, amigo'] },
  ]), 'es');
  const cases = [
    [0, 'Me llamo \u00cd\u00f1igo.', true],
    [0, '\u00a1Me llamo \u00cd\u00f1igo!', true],
    [0, '  me llamo \u00ed\u00f1igo... ', true],
    [0, '\u00bf\u00bfMe llamo \u00cd\u00f1igo??\u2026', true],
    [0, 'Me llamo. \u00cd\u00f1igo', false],
    [1, 'Soy de Espa\u00f1a', true],
    [1, 'soy de espa\u00f1a!!!', true],
    [2, 'Hola amigo', false],
    [2, '\u00a1Hola, amigo!', true],
  ];
  for (const [n, typed, right] of cases) {
    const page = await openPage(browser, url);
    for (let k = 0; k < n; ++k) await page.click('#next');
    await page.fill(`#answer${n}`, typed);
    await page.press(`#answer${n}`, 'Enter');
    const now = await state(page);
    assert.match(now.feedback, right ? /^\u00a1Correcto!/ : /^Todav\u00eda no/, typed);
    await page.evaluate(() => localStorage.clear());
    await closeClean(page);
  }
  // The answers shown: the right one in each box not yet right.
  const page = await openPage(browser, url);
  await page.fill('#answer0', 'Me llamo Pedro');
  await page.press('#answer0', 'Enter');
  await page.click('#showAll');
  assert.equal(await page.inputValue('#answer0'), 'Me llamo \u00cd\u00f1igo');
  assert.equal(await page.locator('#answer0').getAttribute('readonly'), '');
  assert.equal(await page.locator('#showAll').textContent(), 'Mostrar las respuestas');
  assert.equal((await state(page)).right, '0/3');
  await page.click('#next');
  assert.equal(await page.inputValue('#answer1'), 'Soy de Espa\u00f1a.');
  assert.equal(await page.locator('#tryAgain').textContent(), 'Intentarlo de nuevo');
  await page.evaluate(() => localStorage.clear());
  await closeClean(page);
});

test('print of the list pages: every question with the answers given, no navigation', async () => {
  const url = makePage('dial', 'print.htm', dialData([
    { question: 'One?', answers: ['one'] }, { question: 'Two?', answers: ['two'] }, { question: 'Three?', answers: ['three'] },
  ]), 'pt');
  const page = await openPage(browser, url);
  await page.fill('#answer0', 'one');
  await page.press('#answer0', 'Enter');
  await page.click('#next');
  await page.fill('#answer1', 'tw');
  await page.emulateMedia({ media: 'print' });
  const printed = await page.evaluate(() => ({
    items: [...document.querySelectorAll('#items .item')].map((s) => getComputedStyle(s).display),
    heads: [...document.querySelectorAll('#items .item h2')].map((h) => h.getBoundingClientRect().width > 10),
    nav: getComputedStyle(document.querySelector('.nav')).display,
    check: getComputedStyle(document.getElementById('check')).display,
    answers: [0, 1, 2].map((k) => document.getElementById('answer' + k).value),
  }));
  assert.deepEqual(printed.items, ['block', 'block', 'block']);
  assert.deepEqual(printed.heads, [true, true, true], 'each question says its number');
  assert.equal(printed.nav, 'none');
  assert.equal(printed.check, 'none');
  assert.deepEqual(printed.answers, ['one', 'tw', '']);
  await screenshot(page, 'dial-print');
  const pdf = await page.pdf();
  assert.ok(pdf.length > 1000);
  await page.evaluate(() => localStorage.clear());
  await closeClean(page);
});

test('sequence: the order shown after a first check; what was not in place stays not found', async () => {
  const parts = ['One,', ' two,', ' three,', ' four.'];
  const data = parts.map((p, i) => `Segmento[${i}] = ${quote(p)};\r\nSegmento1[${i}] = ${quote(p)};\r\n`).join('');
  const url = makePage('sequence', 'count.htm', data, 'pt');
  const page = await openPage(browser, url);
  assert.equal(await page.locator('#showAll').isHidden(), true);
  await page.click('#check');
  const before = await page.textContent('#right');
  assert.equal(await page.locator('#showAll').textContent(), 'Mostrar as respostas');
  await page.click('#showAll');
  const order = await page.$$eval('#steps .seg', (s) => s.map((b) => b.textContent));
  assert.deepEqual(order, parts.map((p) => p));
  assert.equal(await page.textContent('#right'), before);
  assert.equal(await page.locator('#showAll').isHidden(), true);
  assert.equal(await page.locator('#tryAgain').textContent(), 'Tentar de novo');
  await page.reload();
  assert.deepEqual(await page.$$eval('#steps .seg', (s) => s.map((b) => b.textContent)), parts);
  assert.equal(await page.locator('#check').isHidden(), true);
  await page.click('#tryAgain');
  await page.waitForLoadState();
  assert.equal(await page.textContent('#trials'), '0');
  await closeClean(page);
});

test('shared computer: kept progress belongs to its student; a new student starts clean, the first one finds theirs again', async () => {
  const url = makePage('dial', 'shared.htm', dialData([
    { question: 'One?', answers: ['one'] }, { question: 'Two?', answers: ['two'] },
  ]));
  const context = await browser.newContext();
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(url);
  const typed = () => page.inputValue('#answer0');
  const newStudent = () => page.locator('#newStudent').count();
  assert.equal(await newStudent(), 0, 'nothing kept: no new-student button');

  // A name given in the results form; `reloads` when the page starts again.
  const giveName = async (name, reloads) => {
    await page.evaluate(() => { document.getElementById('send').open = true; });
    await page.fill('#fName', name);
    if (reloads) await Promise.all([page.waitForEvent('load'), page.press('#fName', 'Tab')]);
    else await page.press('#fName', 'Tab');
  };

  // Ana answers, then gives her name: the work is hers, no reload.
  await page.fill('#answer0', 'one');
  await page.press('#answer0', 'Enter');
  await giveName('Ana', false);
  assert.equal(await typed(), 'one');
  await page.reload();
  assert.equal(await typed(), 'one');
  assert.equal(await page.inputValue('#fName'), 'Ana');
  assert.equal(await newStudent(), 1);

  // Bea at the same computer: "I am a new student" starts clean.
  await Promise.all([page.waitForEvent('load'), page.click('#newStudent')]);
  assert.equal(await typed(), '');
  assert.equal(await page.inputValue('#fName'), '');
  assert.equal(await page.textContent('#trials'), '0');
  await page.fill('#answer0', 'uno');
  await page.press('#answer0', 'Enter');
  await giveName('Bea', false);
  assert.equal(await typed(), 'uno', 'the unnamed work becomes Bea\'s');

  // Ana comes back and writes her name: her work returns; Bea's stays.
  await giveName('Ana', true);
  assert.equal(await typed(), 'one');
  assert.equal(await page.inputValue('#fName'), 'Ana');
  // Another name where a named student worked: a clean start.
  await giveName('Carla', true);
  assert.equal(await typed(), '');
  await giveName('Bea', true);
  assert.equal(await typed(), 'uno');
  // Start again clears only Bea's.
  page.on('dialog', (d) => d.accept());
  await Promise.all([page.waitForEvent('load'), page.click('#restart')]);
  assert.equal(await typed(), '');
  await giveName('Ana', true);
  assert.equal(await typed(), 'one');
  assert.deepEqual(errors, []);
  await context.close();
});

test('memory: card text at least 16 px on a 320 px phone, no sideways scroll', async () => {
  const pairs = ['cat', 'gato', 'a long word indeed', 'una palabra muy larga', 'bird', 'p\u00e1ssaro',
    'dog', 'cachorro', 'horse', 'cavalo', 'fish', 'peixe'];
  let data = '';
  for (let k = 0; k < pairs.length / 2; ++k) data += `par1[${k}]=${quote(pairs[2 * k])};\r\npar2[${k}]=${quote(pairs[2 * k + 1])};\r\n`;
  const url = makePage('memo', 'cards.htm', data, 'pt');
  const page = await openPage(browser, url, { width: 320, height: 640 });
  const sizes = await page.$$eval('.card', (cards) => cards.map((c) => parseFloat(getComputedStyle(c).fontSize)));
  assert.ok(sizes.length === 12 && sizes.every((s) => s >= 16), String(sizes));
  await page.click('.card >> nth=0');
  const fits = await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth);
  assert.ok(fits, 'no sideways scroll');
  await screenshot(page, 'memory-320');
  await closeClean(page);
});
