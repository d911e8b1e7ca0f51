// A course built end to end by the real program through the headless
// driver (two activities, a Basic page, a Menu over them, an Index over the
// Menu), then walked link by link in Chromium at desktop and phone widths,
// with axe-core run on the Basic, Menu and Index pages.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { DESKTOP, PHONE, axeViolations, closeClean, launchBrowser, openPage, runKioScript, screenshot } from './lib/harness.mjs';

const session = {};
// The reading is named with accents, as Portuguese teachers name files: the
// file on disk, and every link to it, must carry that name.
const READING = 'lição de leitura.htm';

// The teacher's session: every line is what a teacher does on screen.
function courseScript(dir) {
  const at = (name) => path.join(dir, name);
  return [
    // Cloze: instructions and a text with gaps.
    'press 1009', 'type 1401 Complete the text.', 'type 1402 The [cat] sat on the [mat].',
    'press 1425', `choose ${at('cloze1.htm')}`, 'answer No', 'press 2', 'answer No',
    // Eclipse.
    'press 1114', 'type 1401 Type the words of the text.', 'type 1402 The dog runs in the park.',
    'press 1425', `choose ${at('eclipse1.htm')}`, 'answer No', 'press 2', 'answer No',
    // A Basic page to read first.
    'press 1147', 'type 1601 {5.siz}Reading\\r\\nRead this text before the activities.',
    'press 1625', `choose ${at(READING)}`, 'answer Yes', 'answer No', 'press 2', 'answer No',
    // The Menu over the two activities and the reading.
    'press 1094', 'type 1173 Unit 1\\r\\nFood', 'press 1093', `choose ${at(READING)}`,
    'press 1094', `choose ${at('cloze1.htm')}`, 'press 1095', `choose ${at('eclipse1.htm')}`,
    'press 1106', `choose ${at('menu.htm')}`, 'answer No', 'press 2', 'answer No',
    // The Index over the Menu and the reading.
    'press 1179', 'press 1108', `choose ${at('index.html')}`, 'type 1182 My course\\r\\n2027',
    'press 1910', `choose ${at('menu.htm')}`, 'type 1941 Unit 1: activities', 'press 1912', 'press 1914',
    'press 1910', `choose ${at(READING)}`, 'type 1941 Unit 1: reading', 'press 1912',
    'press 1924', `choose ${at('index.html')}`, 'answer No', 'press 2', 'answer No',
    'press 2', 'answer Yes',
  ].join('\n') + '\n';
}

before(async () => {
  const run = runKioScript('course', ({ dir }) => courseScript(dir));
  session.dir = run.dir;
  session.cleanup = run.cleanup;
  session.url = (name) => pathToFileURL(path.join(session.dir, name)).href;
  session.browser = await launchBrowser();
});

after(async () => {
  await session.browser?.close();
  session.cleanup?.();
});

// Opens the page a click opens in a window of its own (Abre1), and checks
// its name and size.
async function popupOf(page, link) {
  const [popup] = await Promise.all([page.waitForEvent('popup'), link.click()]);
  await popup.waitForLoadState();
  return popup;
}

test('the student walks from the index to the menu and from both into every page', async () => {
  for (const size of [DESKTOP, PHONE]) {
    const label = size === DESKTOP ? 'desktop' : 'phone';
    const index = await openPage(session.browser, session.url('index.html'), size);
    assert.equal(await index.title(), 'Index');
    await screenshot(index, `course-index-${label}`);

    // The reading opens in a window of its own.
    const reading = await popupOf(index, index.getByRole('link', { name: 'Unit 1: reading' }));
    assert.ok(decodeURIComponent(reading.url()).endsWith(`/${READING}`), reading.url());
    assert.match(await reading.locator('td').nth(1).innerText(), /Read this text before the activities/);
    await screenshot(reading, `course-reading-${label}`);
    await reading.close();

    // The menu opens in the same window.
    await Promise.all([index.waitForURL(/menu\.htm$/), index.getByRole('link', { name: 'Unit 1: activities' }).click()]);
    assert.equal(await index.title(), 'Menu - Activities');
    assert.match(await index.locator('td.tablehead').first().innerText(), /Unit 1\s+Food/);
    await screenshot(index, `course-menu-${label}`);
    const entries = [
      [`Atividade 1 - ${READING}`, READING],
      ['Atividade 2 - cloze1.htm', 'cloze1.htm'],
      ['Atividade 3 - eclipse1.htm', 'eclipse1.htm'],
    ];
    for (const [name, file] of entries) {
      const opened = await popupOf(index, index.getByRole('link', { name }));
      assert.ok(decodeURIComponent(opened.url()).endsWith(`/${file}`), opened.url());
      if (file !== READING) {
        assert.ok(await opened.evaluate(() => palavras.length > 0), `${file}: the activity's data arrived`);
      }
      await opened.close();
    }
    // Back to the index.
    await index.goBack();
    assert.equal(await index.title(), 'Index');
    await closeClean(index);
  }
});

test('the Abre1 window is named janela and sized 790 by 520 without bars', async () => {
  const index = await openPage(session.browser, session.url('index.html'));
  await index.evaluate(() => {
    window.kioOpened = [];
    const open = window.open;
    window.open = (...args) => { window.kioOpened.push(args); return open.apply(window, args); };
  });
  const popup = await popupOf(index, index.getByRole('link', { name: 'Unit 1: reading' }));
  assert.deepEqual(await index.evaluate(() => window.kioOpened), [
    [READING, 'janela', 'width=790,height=520,top=0,left=0,menubar=no,scrollbars=no,toolbar=no,resizable=no'],
  ]);
  await popup.close();
  await closeClean(index);
});

test('on a phone the pages fit the screen width', async () => {
  for (const name of ['index.html', 'menu.htm', READING]) {
    const page = await openPage(session.browser, session.url(name), PHONE);
    const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    assert.ok(overflow <= 0, `${name}: ${overflow}px wider than the screen`);
    await closeClean(page);
  }
});

// What axe-core reports about the pages: their HTML is fixed (the program's
// own pieces), so the findings are written to the test's output and
// compared with the known ones, so that a change in them is noticed.
async function violations(page) {
  return (await axeViolations(page)).map((v) => `${v.impact} ${v.id} (${v.nodes})`).sort();
}

test('axe-core on the Basic, Menu and Index pages reports only what their fixed HTML carries', async () => {
  const found = {};
  for (const name of [READING, 'menu.htm', 'index.html']) {
    const page = await openPage(session.browser, session.url(name));
    found[name] = await violations(page);
    await closeClean(page);
  }
  console.log(`axe-core findings: ${JSON.stringify(found, null, 2)}`);
  for (const [name, list] of Object.entries(found)) {
    for (const finding of list) {
      const rule = finding.split(' ')[1];
      assert.ok(EXPECTED_RULES.has(rule), `${name}: ${finding} is not one the fixed HTML explains`);
    }
  }
});

// The rule the fixed pieces still break: the Basic page shows no title of
// its own to make its level-one heading (moderate). The page language, the
// main landmark and the Menu and Index headings are there.
const EXPECTED_RULES = new Set(['page-has-heading-one']);
