// A student uncovers the generated Eclipse page in Chromium.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { DESKTOP, PHONE, closeClean, openPage, screenshot, useSamplePages } from './lib/harness.mjs';

const session = useSamplePages();

const squash = (text) => text.replace(/\s+/g, ' ').trim();

// Occurrences of a whole word, whatever its case.
function count(text, word) {
  const escaped = word.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
  return (text.toLowerCase().match(new RegExp(`(?<!\\p{L})${escaped}(?!\\p{L})`, 'gu')) || []).length;
}

const nonLetters = (text) => text.replace(/[\p{L}\s]/gu, '');

// What the page shows, and what the teacher's text shows once whole: the
// browser renders the joined tokens, markup and all.
const state = (page) => page.evaluate(() => {
  const reference = document.createElement('div');
  reference.innerHTML = palavras.join('');
  // The names that screen readers hear for hidden words are not shown.
  const box = document.getElementById('text').cloneNode(true);
  box.querySelectorAll('.kio-sr').forEach((name) => name.remove());
  const tags = (root) => [...root.querySelectorAll('*')].filter((e) => !e.matches('span.w')).map((e) => e.tagName);
  return {
    shown: box.textContent,
    whole: reference.textContent,
    tags: tags(box),
    wholeTags: tags(reference),
    given: PalavrasDadas.map((w) => w.toLowerCase()),
    found: document.getElementById('found').textContent,
    trials: Number(document.getElementById('trials').textContent),
    feedback: document.getElementById('feedback').textContent,
    done: document.getElementById('done').textContent.trim(),
  };
});

async function guess(page, typed) {
  await page.locator('#word').focus();
  await page.keyboard.type(typed);
  await page.keyboard.press('Enter');
  assert.equal(await page.locator('#word').inputValue(), '', 'the field is emptied for the next word');
  return state(page);
}

for (const [name, size] of [['desktop', DESKTOP], ['phone', PHONE]]) {
  test(`${name}: a student uncovers the text word by word until it is whole`, async () => {
    const page = await openPage(session.browser, session.pages.eclipse.url, size);
    let now = await state(page);
    const words = [...new Set(now.whole.toLowerCase().match(/\p{L}+/gu))];
    const total = now.whole.match(/\p{L}+/gu).length;
    const hidden = words.filter((w) => !now.given.includes(w));
    assert.ok(hidden.length >= 3, 'the sample text hides at least three words');

    // At the start only the given words, punctuation and markup show.
    for (const word of words) {
      assert.equal(count(now.shown, word), now.given.includes(word) ? count(now.whole, word) : 0, word);
    }
    assert.equal(nonLetters(now.shown), nonLetters(now.whole));
    assert.deepEqual(now.tags, now.wholeTags);
    // Only the hidden words count: the given ones are no find of the student.
    const givenShown = words.filter((w) => now.given.includes(w)).reduce((n, w) => n + count(now.whole, w), 0);
    const hiddenTotal = total - givenShown;
    assert.equal(await page.locator('#text .w:not(.on)').count(), hiddenTotal);
    assert.equal(now.found, `0/${hiddenTotal}`);
    await screenshot(page, `eclipse-${name}-start`);

    // A word that is not in the text costs a trial and shows nothing.
    let before = now;
    now = await guess(page, 'zzqx');
    assert.equal(now.trials, 1);
    assert.equal(now.found, before.found);
    assert.equal(now.shown, before.shown);
    assert.match(now.feedback, /zzqx/);

    // Then every hidden word, in capitals with blanks around the first one;
    // each guess shows every occurrence of its word.
    let trials = 1;
    for (const [i, word] of hidden.entries()) {
      if (count(now.shown, word) === count(now.whole, word)) continue;
      before = now;
      now = await guess(page, i === 0 ? `  ${word.toUpperCase()} ` : word);
      trials++;
      assert.equal(count(now.shown, word), count(now.whole, word), `every ${word} shows`);
      assert.equal(now.trials, trials);
      assert.ok(Number(now.found.split('/')[0]) > Number(before.found.split('/')[0]));
      assert.equal(now.done !== '', squash(now.shown) === squash(now.whole), 'the end message comes with the whole text');
      if (i === Math.floor(hidden.length / 2)) await screenshot(page, `eclipse-${name}-half`);
    }
    assert.equal(squash(now.shown), squash(now.whole));
    assert.deepEqual(now.tags, now.wholeTags);
    assert.equal(now.found, `${hiddenTotal}/${hiddenTotal}`);
    assert.notEqual(now.done, '');
    assert.ok(await page.locator('#done').isVisible());
    await screenshot(page, `eclipse-${name}-done`);
    await closeClean(page);
  });
}

test('typed words: case, blanks and the kind of apostrophe do not count; accents do', async () => {
  const page = await openPage(session.browser, session.pages.eclipse.url);
  const attributes = await page.locator('#word').evaluate((input) =>
    ['autocomplete', 'autocorrect', 'autocapitalize', 'spellcheck'].map((a) => input.getAttribute(a)));
  assert.deepEqual(attributes, ['off', 'off', 'off', 'false'], 'the phone leaves typed words as they are');
  const start = await state(page);
  const words = [...new Set(start.whole.toLowerCase().match(/\p{L}+/gu))].filter((w) => !start.given.includes(w));
  // Each case: what the student types, the words it must show in full,
  // and the words it must leave hidden.
  const cases = [];
  const elided = start.whole.match(/(\p{L}+)['\u2019](\p{L}+)/u);
  if (elided && !start.given.includes(elided[1].toLowerCase())) {
    cases.push([`${elided[1].toUpperCase()}\u2019${elided[2]}`, [elided[1], elided[2]], []]);
  }
  const accented = words.find((w) => w.normalize('NFD') !== w);
  if (accented) {
    const bare = accented.normalize('NFD').replace(/\p{M}/gu, '');
    if (!words.includes(bare)) cases.push([bare, [], [accented]]);
    cases.push([accented.normalize('NFD').toUpperCase(), [accented], []]);
  }
  const plain = words.find((w) => !cases.some(([, shows]) => shows.includes(w)) && w.length > 2);
  cases.push([`${plain.slice(0, -1)}`, [], [plain]]);
  cases.push([` ${plain} `, [plain], []]);
  assert.ok(cases.length >= 3);
  for (const [typed, shows, hides] of cases) {
    const now = await guess(page, typed);
    for (const w of shows) assert.equal(count(now.shown, w), count(now.whole, w), `${typed} shows ${w}`);
    for (const w of hides) assert.equal(count(now.shown, w), 0, `${typed} leaves ${w} hidden`);
  }
  await closeClean(page);
});
