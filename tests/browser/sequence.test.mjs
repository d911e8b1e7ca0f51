// A student puts the generated sequence in order in Chromium, by tapping
// and by keyboard.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { DESKTOP, PHONE, closeClean, openPage, screenshot, seriousViolations, useSamplePages } from './lib/harness.mjs';

const session = useSamplePages();

// For each place, the index of the segment that stands there.
const order = (page) => page.evaluate(() => [...document.querySelectorAll('#steps .seg')].map((seg) => {
  const probe = document.createElement('span');
  const copy = seg.cloneNode(true);
  copy.querySelectorAll('.kio-sr').forEach((n) => n.remove());
  return Segmento.findIndex((s) => { probe.innerHTML = s; return probe.innerHTML === copy.innerHTML; });
}));

const counts = (page) => page.evaluate(() => ({
  right: document.getElementById('right').textContent,
  trials: Number(document.getElementById('trials').textContent),
  done: document.getElementById('done').textContent.trim(),
  marked: document.querySelectorAll('#steps .seg.right').length,
}));

for (const [name, size] of [['desktop', DESKTOP], ['phone', PHONE]]) {
  test(`${name}: a student taps each part and then its place`, async () => {
    const page = await openPage(session.browser, session.pages.sequence.url, size);
    let now = await order(page);
    assert.equal(now.length, 5);
    assert.notDeepEqual(now, [0, 1, 2, 3, 4], 'the parts start shuffled');
    await screenshot(page, `sequence_${name}_start`);
    assert.deepEqual(await seriousViolations(page), []);
    const segs = page.locator('#steps .seg');
    const press = (place) => (name === 'phone' ? segs.nth(place).tap() : segs.nth(place).click());
    // A check before ordering marks the parts already in place.
    await page.locator('#check').click();
    let c = await counts(page);
    assert.equal(c.trials, 1);
    assert.equal(c.marked, now.filter((k, i) => k === i).length);
    await screenshot(page, `sequence_${name}_checked`);
    for (let i = 0; i < 5; i++) {
      now = await order(page);
      const from = now.indexOf(i);
      if (from === i) continue;
      await press(from);
      assert.equal(await segs.nth(from).getAttribute('aria-pressed'), 'true');
      await press(i);
    }
    assert.deepEqual(await order(page), [0, 1, 2, 3, 4]);
    await page.locator('#check').click();
    c = await counts(page);
    assert.equal(c.right, '5/5');
    assert.equal(c.marked, 5);
    assert.ok(c.done.length > 0, 'the completion message shows');
    assert.ok(await page.locator('#check').isHidden());
    await screenshot(page, `sequence_${name}_done`);
    assert.deepEqual(await seriousViolations(page), []);
    await closeClean(page);
  });
}

test('keyboard: Alt+Up moves the focused part, the arrow buttons work with Enter, and progress is kept', async () => {
  const page = await openPage(session.browser, session.pages.sequence.url, DESKTOP);
  for (let i = 0; i < 5; i++) {
    const now = await order(page);
    let from = now.indexOf(i);
    if (from === i) continue;
    await page.locator('#steps .seg').nth(from).focus();
    while (from > i) {
      await page.keyboard.press('Alt+ArrowUp');
      from--;
      assert.equal(await page.evaluate(() => [...document.querySelectorAll('#steps .seg')].indexOf(document.activeElement)), from,
        'the focus stays on the moved part');
    }
  }
  assert.deepEqual(await order(page), [0, 1, 2, 3, 4]);
  // A down button by keyboard moves part 1 down, an up button back.
  await page.locator('#steps .move').nth(1).focus();
  await page.keyboard.press('Enter');
  assert.deepEqual(await order(page), [1, 0, 2, 3, 4]);
  await page.locator('#steps .move').nth(2).focus();
  await page.keyboard.press('Enter');
  assert.deepEqual(await order(page), [0, 1, 2, 3, 4]);
  await page.locator('#check').focus();
  await page.keyboard.press('Enter');
  assert.equal((await counts(page)).right, '5/5');
  await page.reload();
  assert.deepEqual(await order(page), [0, 1, 2, 3, 4]);
  assert.equal((await counts(page)).right, '5/5');
  await closeClean(page);
});
