// A student answers the generated Multiple choice and Dialogical pages in
// Chromium: right, wrong, several right options, a question left out of the
// score, typed answers with accents and apostrophes.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { DESKTOP, PHONE, closeClean, openPage, screenshot, seriousViolations, useSamplePages } from './lib/harness.mjs';

const session = useSamplePages();

const score = (page) => page.evaluate(() => ({
  perf: document.getElementById('perf').textContent,
  right: document.getElementById('right').textContent,
  trials: document.getElementById('trials').textContent,
  done: document.getElementById('done').textContent.trim(),
}));

// The question shown now: its position, text, feedback and hint.
const shown = (page) => page.evaluate(() => {
  const item = [...document.querySelectorAll('#items .item')].find((s) => !s.hidden);
  const text = (selector) => (item.querySelector(selector)?.textContent || '').replace(/\s+/g, ' ').trim();
  return {
    where: document.getElementById('where').textContent,
    visible: document.querySelectorAll('#items .item:not([hidden])').length,
    question: text('.question'),
    feedback: text('.feedback'),
    hint: text('.hint'),
    said: [...item.querySelectorAll('.option .said')].map((s) => s.textContent.trim()),
    kinds: [...item.querySelectorAll('.option input')].map((i) => i.type),
  };
});

for (const [name, size] of [['desktop', DESKTOP], ['phone', PHONE]]) {
  test(`${name}: multiple choice, by keyboard: one right option, several right options, a practice question`, async () => {
    const page = await openPage(session.browser, session.pages.multi.url, size);
    await screenshot(page, `multi-${name}-start`);
    let now = await shown(page);
    assert.equal(now.visible, 1, 'one question at a time');
    assert.equal(now.where, 'Question 1 of 3');
    assert.equal(now.question, 'Which animal says meow?');
    assert.deepEqual(now.kinds, ['radio', 'radio', 'radio'], 'one right option: radio buttons');

    // Nothing chosen: no attempt.
    await page.click('#check');
    assert.equal((await score(page)).trials, '0');

    // Wrong: the option's own feedback and the general hint.
    await page.focus('#items .item:not([hidden]) input');
    await page.keyboard.press('Space');
    await page.click('#check');
    now = await shown(page);
    assert.deepEqual(now.said, ['Dogs bark.', '', '']);
    assert.equal(now.hint, 'Think of a small pet.');
    assert.match(now.feedback, /^Not yet/);
    assert.equal((await score(page)).trials, '1');
    await screenshot(page, `multi-${name}-wrong`);

    // Right at the second try: counts as found, not as right at first.
    await page.focus('#items .item:not([hidden]) input:checked');
    await page.keyboard.press('ArrowDown');
    await page.click('#check');
    now = await shown(page);
    assert.equal(now.said[1], 'Yes: cats meow.');
    assert.equal(now.hint, '');
    assert.match(now.feedback, /^Right!/);
    assert.deepEqual(await score(page), { perf: '0%', right: '0/2', trials: '2', done: '' });

    // Several right options: check boxes; both must be chosen. The item
    // shows its reading page beside the question.
    await page.keyboard.press('Enter');  // Next has the focus after a right answer
    now = await shown(page);
    assert.equal(now.where, 'Question 2 of 3');
    assert.deepEqual(now.kinds, ['checkbox', 'checkbox', 'checkbox']);
    assert.equal(await page.locator('#items .item:not([hidden]) iframe').getAttribute('src'), 'cloze.htm');
    const boxes = page.locator('#items .item:not([hidden]) .option input');
    await boxes.nth(0).check();
    await boxes.nth(1).check();
    await page.click('#check');
    now = await shown(page);
    assert.deepEqual(now.said, ['Yes, the cat.', 'Yes, the mat.', '']);
    assert.deepEqual(await score(page), { perf: '50%', right: '1/2', trials: '3', done: '' });
    await screenshot(page, `multi-${name}-several`);

    // The practice question is not in the score; answering it finishes.
    await page.click('#next');
    now = await shown(page);
    assert.match(await page.locator('#items .item:not([hidden]) .practice').textContent(), /not count/);
    await page.locator('#items .item:not([hidden]) .option input').nth(1).check();
    await page.click('#check');
    assert.equal((await shown(page)).said[1], 'What a pity.');
    await page.locator('#items .item:not([hidden]) .option input').nth(0).check();
    await page.click('#check');
    assert.deepEqual(await score(page), { perf: '50%', right: '1/2', trials: '5', done: 'Well done: all answered!' });
    assert.deepEqual(await seriousViolations(page), []);
    await screenshot(page, `multi-${name}-done`);

    // Progress is kept: a reload shows the same state.
    await page.reload();
    assert.deepEqual(await score(page), { perf: '50%', right: '1/2', trials: '5', done: 'Well done: all answered!' });
    await closeClean(page);
  });

  test(`${name}: dialogical: typed answers compared tolerantly, right and wrong feedback, accents and apostrophes`, async () => {
    const page = await openPage(session.browser, session.pages.dial.url, size);
    await screenshot(page, `dial-${name}-start`);
    const answer = page.locator('#items .item:not([hidden]) input[type=text]');
    assert.equal(await answer.getAttribute('autocapitalize'), 'off');

    await answer.fill('london');
    await answer.press('Enter');
    let now = await shown(page);
    assert.match(now.feedback, /^Not yet.*It is on the Seine\.$/);
    await answer.fill('rome');
    await answer.press('Enter');
    assert.match((await shown(page)).feedback, /Think of the Eiffel Tower\.$/, 'the wrong feedbacks in turn');
    await answer.fill('  PARIS ');
    await answer.press('Enter');
    now = await shown(page);
    assert.match(now.feedback, /^Right! Yes: Paris\.$/);
    await screenshot(page, `dial-${name}-right`);

    // Accents count; the kind of apostrophe does not; each answer has its
    // own right feedback.
    await page.click('#next');
    await answer.fill('agua');
    await answer.press('Enter');
    assert.match(await page.locator('#status').textContent(), /accents/);
    await answer.fill('D\u2019\u00e1gua');
    await answer.press('Enter');
    now = await shown(page);
    assert.match(now.feedback, /Certo: d'\u00e1gua\.$/);

    // The question left out of the score takes any answer.
    await page.click('#next');
    await answer.fill('Hi');
    await answer.press('Enter');
    const end = await score(page);
    assert.deepEqual(end, { perf: '0%', right: '0/2', trials: '6', done: 'Great: the dialogue is over.' });
    assert.deepEqual(await seriousViolations(page), []);
    await screenshot(page, `dial-${name}-done`);

    // The answers are not in the page as the teacher typed them.
    const source = await page.content();
    assert.ok(!source.includes("'Paris'"), 'answers are written turned');
    await closeClean(page);
  });
}
