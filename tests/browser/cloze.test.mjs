// A student works through the generated Cloze page in Chromium.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { DESKTOP, PHONE, closeClean, openPage, screenshot, useSamplePages } from './lib/harness.mjs';

const session = useSamplePages();

// The expected words, read from the page's data as the teacher wrote them
// between brackets (markup of the text taken out).
async function answersOf(page) {
  const gaps = await page.evaluate(() => PalavrasDadas.map((i) => palavras[i]));
  return gaps
    .map((html) => html.replace(/<br\s*\/?>/gi, ' ').replace(/<[^>]*>/g, '').replace(/&nbsp;/g, ' ')
      .replace(/\s+/g, ' ').trim())
    .filter((answer) => answer !== '');
}

const score = (page) => page.evaluate(() => ({
  perf: document.getElementById('perf').textContent,
  right: document.getElementById('right').textContent,
  trials: document.getElementById('trials').textContent,
  done: document.getElementById('done').textContent.trim(),
}));

const gapStates = (page) => page.$$eval('#text .gap', (gaps) => gaps.map((gap) => ({
  mark: gap.classList.contains('ok') ? 'ok' : gap.classList.contains('bad') ? 'bad' : '',
  invalid: gap.querySelector('input').getAttribute('aria-invalid'),
})));

for (const [name, size] of [['desktop', DESKTOP], ['phone', PHONE]]) {
  test(`${name}: with the keyboard alone, a student fills the gaps, some wrong, then right, and finishes`, async () => {
    const page = await openPage(session.browser, session.pages.cloze.url, size);
    const answers = await answersOf(page);
    assert.ok(answers.length >= 3, 'the sample text has at least three gaps');
    const gaps = page.locator('#text .gap input');
    assert.equal(await gaps.count(), answers.length);
    await screenshot(page, `cloze-${name}-start`);

    // Every gap is a labelled text field that the phone does not correct,
    // as wide as its word or wider.
    for (let i = 0; i < answers.length; i++) {
      const field = await gaps.nth(i).evaluate((input) => ({
        attributes: ['autocomplete', 'autocorrect', 'autocapitalize', 'spellcheck']
          .map((a) => input.getAttribute(a)),
        label: input.getAttribute('aria-label'),
        width: input.getBoundingClientRect().width,
        wordWidth: (() => {
          const probe = document.createElement('span');
          probe.style.font = getComputedStyle(input).font;
          probe.textContent = 'x';
          document.body.append(probe);
          const w = probe.getBoundingClientRect().width;
          probe.remove();
          return w;
        })(),
      }));
      assert.deepEqual(field.attributes, ['off', 'off', 'off', 'false']);
      assert.match(field.label, new RegExp(`^\\S.* ${i + 1} \\S+ ${answers.length}$`), 'gap n of total');
      assert.ok(field.width >= field.wordWidth * answers[i].length * 0.8, `gap ${i + 1} fits its word`);
    }

    // The first Tab reaches the first gap; Enter goes on to the next and
    // checks the answers in the last one. Every other answer is wrong.
    await page.keyboard.press('Tab');
    assert.equal(await gaps.nth(0).evaluate((input) => input === document.activeElement), true);
    const wrong = answers.map((_, i) => i % 2 === 1);
    for (let i = 0; i < answers.length; i++) {
      await page.keyboard.type(wrong[i] ? `${answers[i]}x` : answers[i]);
      await page.keyboard.press('Enter');
    }
    const right = wrong.filter((w) => !w).length;
    assert.deepEqual(await score(page), {
      perf: `${Math.round((100 * right) / answers.length)}%`,
      right: `${right}/${answers.length}`,
      trials: '1',
      done: '',
    });
    assert.deepEqual(await gapStates(page), wrong.map((w) => ({ mark: w ? 'bad' : 'ok', invalid: w ? 'true' : null })));
    assert.equal(await gaps.nth(1).evaluate((input) => input === document.activeElement), true,
      'the first wrong gap has the focus again');
    await screenshot(page, `cloze-${name}-checked`);

    // Try again: mend the wrong gaps; editing a gap clears its mark.
    for (let i = 0; i < answers.length; i++) {
      if (!wrong[i]) continue;
      await gaps.nth(i).focus();
      await page.keyboard.press('ControlOrMeta+A');
      await page.keyboard.type(answers[i]);
      assert.equal((await gapStates(page))[i].mark, '');
    }
    await page.locator('#check').focus();
    await page.keyboard.press('Enter');
    const final = await score(page);
    assert.deepEqual({ ...final, done: final.done !== '' }, {
      perf: '100%', right: `${answers.length}/${answers.length}`, trials: '2', done: true,
    });
    assert.ok(await page.locator('#done').isVisible());
    assert.deepEqual(await gapStates(page), answers.map(() => ({ mark: 'ok', invalid: null })));
    await screenshot(page, `cloze-${name}-done`);
    await closeClean(page);
  });
}

test('typed answers: case, blanks and the kind of apostrophe do not count; letters and accents do', async () => {
  const page = await openPage(session.browser, session.pages.cloze.url);
  const answers = await answersOf(page);
  const cases = [
    [0, `  ${answers[0].toUpperCase()}  `, 'ok'],
    [0, answers[0].replace(/^(.)/, '$1 '), 'bad'],
    [0, `${answers[0]}s`, 'bad'],
    [0, answers[0].slice(1), 'bad'],
  ];
  const apostrophe = answers.findIndex((a) => /['\u2019]/.test(a));
  assert.ok(apostrophe >= 0, 'the sample text has a gap with an apostrophe');
  cases.push([apostrophe, answers[apostrophe].replace(/'/g, '\u2019'), 'ok']);
  cases.push([apostrophe, answers[apostrophe].replace(/\u2019/g, "'"), 'ok']);
  cases.push([apostrophe, answers[apostrophe].replace(/['\u2019]/g, ''), 'bad']);
  const accented = answers.findIndex((a) => a.normalize('NFD') !== a);
  assert.ok(accented >= 0, 'the sample text has a gap with an accented letter');
  cases.push([accented, answers[accented].normalize('NFD').replace(/\p{M}/gu, ''), 'bad']);
  cases.push([accented, answers[accented].normalize('NFD'), 'ok']);
  for (const [gap, typed, expected] of cases) {
    await page.locator('#text .gap input').nth(gap).fill(typed);
    await page.locator('#check').click();
    assert.equal((await gapStates(page))[gap].mark, expected, `gap ${gap + 1} typed as ${JSON.stringify(typed)}`);
  }
  await closeClean(page);
});
