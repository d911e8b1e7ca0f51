// A student plays the generated memory game in Chromium, by touch, mouse
// and keyboard.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { DESKTOP, PHONE, closeClean, openPage, screenshot, seriousViolations, useSamplePages } from './lib/harness.mjs';

const session = useSamplePages();

// For each place on the table, the pair its card belongs to.
const table = (page) => page.evaluate(() => {
  // A card is known by its text and the sources of its pictures.
  const key = (root) => root.textContent + [...root.querySelectorAll('img')].map((i) => i.getAttribute('src')).join();
  const probe = document.createElement('span');
  const pairOf = (face) => {
    for (let j = 0; j < par1.length; j++) {
      for (const side of [par1[j], par2[j]]) {
        probe.innerHTML = side;
        if (key(probe) === key(face)) return j;
      }
    }
    return -1;
  };
  return [...document.querySelectorAll('#cards .card .face')].map(pairOf);
});

const counts = (page) => page.evaluate(() => ({
  found: document.getElementById('found').textContent,
  moves: Number(document.getElementById('trials').textContent),
  up: document.querySelectorAll('#cards .card.up').length,
  done: document.getElementById('done').textContent.trim(),
  feedback: document.getElementById('feedback').textContent,
}));

// Places of the two cards of each pair, and a first move that misses.
function plan(pairs) {
  const places = {};
  pairs.forEach((pair, place) => (places[pair] = places[pair] || []).push(place));
  return Object.values(places);
}

for (const [name, size] of [['desktop', DESKTOP], ['phone', PHONE]]) {
  test(`${name}: a student turns the cards by ${name === 'phone' ? 'touch' : 'mouse'} until every pair is found`, async () => {
    const page = await openPage(session.browser, session.pages.memory.url, size);
    const pairs = await table(page);
    assert.equal(pairs.length, 8, 'four pairs make eight cards');
    assert.ok(pairs.every((p) => p >= 0), 'every card shows one side of a pair');
    await screenshot(page, `memory_${name}_start`);
    assert.deepEqual(await seriousViolations(page), []);
    const cards = page.locator('#cards .card');
    const press = (place) => (name === 'phone' ? cards.nth(place).tap() : cards.nth(place).click());
    // Fits the screen: no card runs past the right edge.
    const widest = await page.evaluate(() => Math.max(...[...document.querySelectorAll('#cards .card')].map((c) => c.getBoundingClientRect().right)));
    assert.ok(widest <= size.width, `cards fit the width (${widest})`);

    const groups = plan(pairs);
    // A miss first: two cards of different pairs stay up until the next card.
    await press(groups[0][0]);
    await press(groups[1][0]);
    let now = await counts(page);
    assert.equal(now.moves, 1);
    assert.equal(now.up, 2);
    assert.match(now.feedback, /not a pair|n\u00e3o \u00e9 um par/i);
    await screenshot(page, `memory_${name}_miss`);
    for (const [a, b] of groups) {
      await press(a);
      await press(b);
    }
    now = await counts(page);
    assert.equal(now.found, '4/4');
    assert.equal(now.moves, 5);
    assert.equal(now.up, 8, 'found pairs stay open');
    assert.ok(now.done.length > 0, 'the completion message shows');
    assert.equal(await page.locator('#cards .card.found').count(), 8);
    await screenshot(page, `memory_${name}_done`);
    assert.deepEqual(await seriousViolations(page), []);
    await closeClean(page);
  });
}

test('keyboard: arrow keys and Enter play the game, and screen readers hear each card', async () => {
  const page = await openPage(session.browser, session.pages.memory.url, DESKTOP);
  const pairs = await table(page);
  await page.locator('#cards .card').first().focus();
  let at = 0;
  const go = async (place) => {
    while (at < place) { await page.keyboard.press('ArrowRight'); at++; }
    while (at > place) { await page.keyboard.press('ArrowLeft'); at--; }
    await page.keyboard.press('Enter');
  };
  for (const [a, b] of plan(pairs)) {
    await go(a);
    const label = await page.locator('#cards .card').nth(a).getAttribute('aria-label');
    assert.match(label, /^(card|carta) \d+: .+/, 'a turned card says what it shows');
    await go(b);
  }
  const now = await counts(page);
  assert.equal(now.found, '4/4');
  assert.equal(now.moves, 4);
  assert.equal(await page.evaluate(() => document.getElementById('perf').textContent), '100%');
  // The picture card is named after its file.
  const labels = await page.locator('#cards .card').evaluateAll((cards) => cards.map((c) => c.getAttribute('aria-label')));
  assert.ok(labels.some((l) => /mar/.test(l)), labels.join(' | '));
  // A sound card names its sound and holds no controls of its own.
  assert.ok(labels.some((l) => /sol/.test(l)), labels.join(' | '));
  assert.equal(await page.locator('#cards audio[controls]').count(), 0);
  // Arrow down moves a row.
  await page.locator('#cards .card').first().focus();
  await page.keyboard.press('ArrowDown');
  assert.equal(await page.evaluate(() => [...document.querySelectorAll('#cards .card')].indexOf(document.activeElement)), 4);
  // Kept: a reload shows the finished game.
  await page.reload();
  assert.equal((await counts(page)).found, '4/4');
  await closeClean(page);
});
