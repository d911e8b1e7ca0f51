// What the student-page kit gives every generated page: pages that read the
// same under any charset a server announces, progress kept across reloads,
// a way to finish for every student, results that arrive or say why not,
// and pages that screen readers and phones can use.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {
  DESKTOP, PHONE, closeClean, closedPortAddress, launchBrowser, makeSamplePages, openPage, screenshot,
  seriousViolations, serveFolder, startResultsServer,
} from './lib/harness.mjs';

// The sample pages three times over: posting to a loopback receiver, to a
// closed port, and with the shipped (example) results address.
const s = {};
before(async () => {
  s.server = await startResultsServer();
  s.pages = makeSamplePages(s.server.address);
  s.closed = makeSamplePages(await closedPortAddress());
  s.unset = makeSamplePages();
  s.browser = await launchBrowser();
});
after(async () => {
  await s.browser?.close();
  await s.server?.close();
});

const lessons = {
  es: {
    cloze: ['ni\u00f1o', 'pan', 'jam\u00f3n', 'mam\u00e1', 'cocina', 'canta', 'canci\u00f3n', 'ir\u00e1n', 'r\u00edo',
      'peque\u00f1a', 'vecina'],
    eclipse: ['ni\u00f1o', 've', 'r\u00edo', 'D\u00f3nde', 'est\u00e1', 'canci\u00f3n'],
  },
  pt: {
    cloze: ['Jo\u00e3o', 'sabia', 'li\u00e7\u00e3o', 'dif\u00edcil', 'disse', 'd\u2019\u00e1gua'],
    eclipse: ['a\u00e7\u00e3o', 'Jo\u00e3o', 'foi', 'r\u00e1pida', '\u00f3tima'],
    instructions: 'Complete com as palavras que faltam: \u201caten\u00e7\u00e3o\u201d \u00e0s v\u00edrgulas \u2013 e ao \u2192.',
  },
};

const text = (page, id) => page.locator(`#${id}`).textContent();

async function fillCloze(page, answers) {
  const gaps = page.locator('#text .gap input');
  assert.equal(await gaps.count(), answers.length, 'one gap per answer');
  for (let i = 0; i < answers.length; i++) await gaps.nth(i).fill(answers[i]);
  await page.locator('#check').click();
}

async function guess(page, word) {
  await page.locator('#word').fill(word);
  await page.locator('#word').press('Enter');
}

test('pages are pure ASCII and score full marks whatever charset the server announces', async () => {
  for (const charset of ['utf-8', 'iso-8859-1']) {
    const server = await serveFolder(s.pages.outdir, charset);
    try {
      for (const lang of ['es', 'pt']) {
        const cloze = await openPage(s.browser, server.url(`cloze_${lang}.htm`), PHONE);
        await fillCloze(cloze, lessons[lang].cloze);
        const n = lessons[lang].cloze.length;
        assert.equal(await text(cloze, 'right'), `${n}/${n}`, `${lang} cloze over ${charset}`);
        assert.equal(await text(cloze, 'perf'), '100%');
        if (lang === 'pt') assert.equal(await text(cloze, 'instructions'), lessons.pt.instructions);
        if (charset === 'utf-8') await screenshot(cloze, `cloze-phone-${lang}-utf8`);
        await closeClean(cloze);

        const eclipse = await openPage(s.browser, server.url(`eclipse_${lang}.htm`), DESKTOP);
        for (const word of lessons[lang].eclipse) await guess(eclipse, word);
        assert.equal(await text(eclipse, 'perf'), '100%', `${lang} eclipse over ${charset}`);
        assert.notEqual((await text(eclipse, 'done')).trim(), '');
        if (charset === 'utf-8') await screenshot(eclipse, `eclipse-desktop-${lang}-utf8`);
        await closeClean(eclipse);
      }
    } finally {
      await server.close();
    }
  }
  for (const lang of ['es', 'pt']) {
    for (const kind of ['cloze', 'eclipse']) {
      const bytes = fs.readFileSync(s.pages[lang][kind].file);
      assert.ok(bytes.every((b) => b < 0x80), `${lang} ${kind}: ASCII only`);
    }
  }
});

test('the page language comes from the student language, and right-to-left texts run right to left', async () => {
  for (const [lang, url] of [['es', s.pages.es.cloze.url], ['pt', s.pages.pt.eclipse.url]]) {
    const page = await openPage(s.browser, url);
    assert.equal(await page.evaluate(() => document.documentElement.lang), lang);
    assert.equal(await page.locator('#text').getAttribute('dir'), 'auto');
    await closeClean(page);
  }
  const arabic = await openPage(s.browser, s.pages.arabic.url, PHONE);
  assert.equal(await arabic.locator('#text').evaluate((box) => getComputedStyle(box).direction), 'rtl');
  await fillCloze(arabic, ['\u0627\u0644\u0642\u0631\u0627\u0621\u0629']);
  assert.equal(await text(arabic, 'perf'), '100%');
  await screenshot(arabic, 'cloze-phone-arabic');
  await closeClean(arabic);
});

test('a reload keeps the progress; start again clears it, and so does a regenerated page', async () => {
  const page = await openPage(s.browser, s.pages.es.cloze.url, PHONE);
  const gaps = page.locator('#text .gap input');
  await gaps.nth(0).fill(lessons.es.cloze[0]);
  await gaps.nth(1).fill('x');
  await page.locator('#check').click();
  await gaps.nth(2).fill(lessons.es.cloze[2]);
  await page.reload();
  assert.equal(await gaps.nth(0).inputValue(), lessons.es.cloze[0]);
  assert.equal(await gaps.nth(1).inputValue(), 'x');
  assert.equal(await gaps.nth(2).inputValue(), lessons.es.cloze[2], 'typed after the check, kept too');
  assert.equal(await text(page, 'trials'), '1');
  assert.match(await gaps.nth(0).evaluate((i) => i.parentNode.className), /\bok\b/);

  page.once('dialog', (dialog) => dialog.accept());
  await page.locator('#restart').click();
  await page.waitForLoadState();
  assert.equal(await gaps.nth(0).inputValue(), '');
  assert.equal(await text(page, 'trials'), '0');
  await closeClean(page);

  // Eclipse: found words survive a reload.
  const eclipse = await openPage(s.browser, s.pages.pt.eclipse.url);
  await guess(eclipse, 'Jo\u00e3o');
  const found = await text(eclipse, 'found');
  await eclipse.reload();
  assert.equal(await text(eclipse, 'found'), found);
  assert.equal(await eclipse.locator('#text .w.on', { hasText: 'Jo\u00e3o' }).count(), 1);
  await closeClean(eclipse);

  // The same file name with other content starts clean.
  const copy = path.join(s.pages.outdir, 'lesson.htm');
  fs.copyFileSync(s.pages.pt.cloze.file, copy);
  const url = `file://${copy}`;
  const first = await openPage(s.browser, url);
  await first.locator('#text .gap input').nth(0).fill('Jo\u00e3o');
  await first.locator('#check').click();
  fs.copyFileSync(s.pages.es.cloze.file, copy);
  await first.reload();
  assert.equal(await first.locator('#text .gap input').nth(0).inputValue(), '');
  assert.equal(await text(first, 'trials'), '0');
  await closeClean(first);
});

test('empty checks are not attempts; a student who does not know a gap reveals it and finishes', async () => {
  const page = await openPage(s.browser, s.pages.es.cloze.url);
  assert.ok(await page.locator('#reveal').isHidden(), 'no answers to show before a first check');
  await page.locator('#check').click();
  assert.equal(await text(page, 'trials'), '0', 'pressing Done with every gap empty is no attempt');
  const answers = [...lessons.es.cloze];
  answers[4] = 'cosina';
  await fillCloze(page, answers);
  assert.equal(await text(page, 'trials'), '1');
  await page.locator('#check').click();
  assert.equal(await text(page, 'trials'), '1', 'nothing changed since the last check');

  // The wrong gap has the focus; its answer is shown and counted as missed.
  await page.locator('#reveal').click();
  const gap = page.locator('#text .gap input').nth(4);
  assert.equal(await gap.inputValue(), 'cocina');
  assert.match(await gap.evaluate((i) => i.parentNode.className), /\bshown\b/);
  assert.notEqual((await text(page, 'done')).trim(), '', 'the student has finished');
  assert.equal(await text(page, 'right'), '10/11');
  assert.equal(await text(page, 'perf'), '91%');
  assert.deepEqual(await seriousViolations(page), []);
  await screenshot(page, 'cloze-desktop-revealed');
  await closeClean(page);
});

test('alternatives, accents the teacher lets pass, and a near miss that names the accents', async () => {
  const page = await openPage(s.browser, s.pages.options.url);
  assert.equal(await page.locator('#text').textContent().then((t) => t.includes('ignore')), false,
    'the option does not show');
  await fillCloze(page, ['do not', 'cafe', "aren't", 'naive', 'r\u00e9sum\u00e9']);
  assert.equal(await text(page, 'right'), '5/5');
  await closeClean(page);

  const strict = await openPage(s.browser, s.pages.pt.cloze.url);
  const answers = [...lessons.pt.cloze];
  answers[2] = 'licao';
  await fillCloze(strict, answers);
  assert.equal(await text(strict, 'right'), `${answers.length - 1}/${answers.length}`);
  assert.match(await strict.locator('#status').textContent(), /acentos/);
  await closeClean(strict);
});

test('Eclipse: given words are not counted as found, a word can be revealed, and nothing counts after the end',
  async () => {
    const page = await openPage(s.browser, s.pages.es.eclipse.url, PHONE);
    const hidden = await page.locator('#text .w:not(.on)').count();
    assert.equal(await text(page, 'found'), `0/${hidden}`);
    assert.ok(await page.locator('#reveal').isHidden());
    await guess(page, 'zzqx');
    for (const word of lessons.es.eclipse.slice(1)) await guess(page, word);
    await page.locator('#reveal').click();
    assert.notEqual((await text(page, 'done')).trim(), '');
    const trials = await text(page, 'trials');
    assert.equal(await text(page, 'found'), `${hidden - 1}/${hidden}`);
    assert.equal(await text(page, 'perf'), `${Math.round((100 * (hidden - 1)) / hidden)}%`);
    await guess(page, 'otra');
    assert.equal(await text(page, 'trials'), trials, 'no attempts after the end');
    assert.deepEqual(await seriousViolations(page), []);
    await screenshot(page, 'eclipse-phone-revealed');
    await closeClean(page);
  });

async function openResults(page) {
  await page.locator('#send summary').click();
  await page.locator('#fName').fill('Jos\u00e9');
}

test('results: filled in as the form opens, sent to a receiver that answers, and on the printout', async () => {
  const page = await openPage(s.browser, s.pages.es.cloze.url, PHONE);
  await fillCloze(page, lessons.es.cloze);
  await page.locator('#send summary').click();
  assert.equal(await page.locator('#fScore').inputValue(), '100%', 'the score is there before sending');
  assert.match(await page.locator('#fDetails').inputValue(), /11\/11/);
  assert.match(await page.locator('#fDate').inputValue(), /^\d{4}-\d\d-\d\d$/);
  await page.locator('#fName').fill('Jos\u00e9');
  const posted = s.server.nextPost();
  await page.locator('#results button[type=submit]').click();
  const { fields, type } = await posted;
  s.server.posts.length = 0;
  assert.match(type, /application\/x-www-form-urlencoded/);
  assert.equal(fields.name, 'Jos\u00e9');
  assert.equal(fields.score, '100%');
  assert.equal(fields.activity, 'cloze');
  assert.match(fields.id, /^[0-9a-f]{24}$/, 'a token that lets the receiver keep a resent result once');
  await page.locator('#sendState[data-state=sent]').waitFor();
  assert.match(await text(page, 'sendState'), /Enviado/);
  await screenshot(page, 'cloze-phone-sent');

  await page.emulateMedia({ media: 'print' });
  const printout = page.locator('#printout');
  assert.ok(await printout.isVisible(), 'the results are on the printout');
  assert.match(await printout.textContent(), /Jos\u00e9[\s\S]*100%/);
  await closeClean(page);
});

test('results: a closed port says not sent and offers the copy', async () => {
  const page = await openPage(s.browser, s.closed.eclipse.url);
  await guess(page, 'gato');
  await openResults(page);
  await page.locator('#results button[type=submit]').click();
  await page.locator('#sendState[data-state=failed]').waitFor();
  assert.ok(await page.locator('#copy').isVisible());
  await page.evaluate(() => {
    navigator.clipboard.writeText = async (t) => { window.kioCopied = t; };
  });
  await page.locator('#copy').click();
  const copied = await page.evaluate(() => window.kioCopied);
  assert.match(copied, /Jos\u00e9/);
  assert.match(copied, /eclipse\.htm/);
  await screenshot(page, 'eclipse-desktop-not-sent');
  // The page keeps working: the failure is no script error.
  page.kioErrors = page.kioErrors.filter((e) => !/ERR_CONNECTION_REFUSED|Failed to fetch/.test(e));
  await closeClean(page);
});

test('results: with the example address the page offers print and copy, not a Send that fails', async () => {
  for (const size of [DESKTOP, PHONE]) {
    const page = await openPage(s.browser, s.unset.cloze.url, size);
    await page.locator('#send summary').click();
    assert.equal(await page.locator('#results button[type=submit]').count(), 0);
    assert.ok(await page.locator('#copy').isVisible());
    assert.ok(await page.locator('#results #printResults').isVisible());
    assert.notEqual((await text(page, 'sendState')).trim(), '', 'the page says why');
    assert.deepEqual(await seriousViolations(page), []);
    await screenshot(page, `cloze-${size === DESKTOP ? 'desktop' : 'phone'}-not-configured`);
    await closeClean(page);
  }
});

test('screen readers: hidden words and gaps have names, pictures and sounds too; axe finds nothing serious',
  async () => {
    const eclipse = await openPage(s.browser, s.pages.pt.eclipse.url);
    const tree = await eclipse.locator('#text').ariaSnapshot();
    assert.match(tree, /palavra oculta, 4 letras/, tree);
    assert.deepEqual(await seriousViolations(eclipse), []);
    await closeClean(eclipse);

    const cloze = await openPage(s.browser, s.pages.es.cloze.url);
    assert.equal(await cloze.locator('#text .gap input').nth(2).getAttribute('aria-label'), 'hueco 3 de 11');
    assert.deepEqual(await seriousViolations(cloze), []);
    await closeClean(cloze);

    const media = await openPage(s.browser, s.pages.options.url);
    assert.equal(await media.locator('#text img').getAttribute('alt'), 'foto da praia');
    assert.equal(await media.locator('#text embed').count(), 0);
    assert.equal(await media.locator('#text audio[controls]').getAttribute('aria-label'), 'Sound: musica');
    assert.deepEqual(await seriousViolations(media), []);
    await screenshot(media, 'cloze-desktop-media');
    media.kioErrors = [];
    await media.context().close();
  });

test('with JavaScript off the page says it needs JavaScript', async () => {
  const context = await s.browser.newContext({ javaScriptEnabled: false, viewport: PHONE });
  const page = await context.newPage();
  await page.goto(s.pages.es.cloze.url);
  const visible = await page.locator('body').innerText();
  assert.match(visible, /JavaScript/);
  await screenshot(page, 'cloze-phone-noscript');
  await context.close();
});
