// A course built by the real program (kio --headless), packaged by
// kio package, and run inside a learning platform: scorm-again's SCORM 1.2
// and SCORM 2004 run-times stand in for it on a host page that frames the
// course. The calls the pages make are recorded and checked against the
// data model; the same package opened from file:// works without one.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { closeClean, launchBrowser, makeSamplePages, openPage, runKioScript, screenshot } from './lib/harness.mjs';
import { extractZip, readZip } from './scorm_zip.mjs';

const READING = 'lição de leitura.htm';
const PICTURE = 'praça da sé.gif';
const GIF = Buffer.from('R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7', 'base64');
const session = {};

// The teacher's session: a Cloze, a reading with pictures (one that is
// there, one missing, one outside the folder), a Menu over the reading,
// the Cloze and a Multiple choice page, and an Index over the Menu.
function courseScript(dir) {
  const at = (name) => path.join(dir, name);
  return [
    'press 1009', 'type 1401 Complete the text.', 'type 1402 The [cat] sat on the [mat].',
    'press 1425', `choose ${at('cloze1.htm')}`, 'answer No', 'press 2', 'answer No',
    'press 1147', `type 1601 Read this text. {i=${PICTURE}} {i=falta.gif} {i=../fora.gif}`,
    'press 1625', `choose ${at(READING)}`, 'answer Yes', 'answer No', 'press 2', 'answer No',
    'press 1094', 'type 1173 Unit 1', 'press 1093', `choose ${at(READING)}`,
    'press 1094', `choose ${at('cloze1.htm')}`, 'press 1095', `choose ${at('multi.htm')}`,
    'press 1106', `choose ${at('menu.htm')}`, 'answer No', 'press 2', 'answer No',
    'press 1179', 'press 1108', `choose ${at('index.html')}`, 'type 1182 My course',
    'press 1910', `choose ${at('menu.htm')}`, 'type 1941 Unit 1: activities', 'press 1912', 'press 1914',
    'press 1910', `choose ${at(READING)}`, 'type 1941 Unit 1: reading', 'press 1912',
    'press 1924', `choose ${at('index.html')}`, 'answer No', 'press 2', 'answer No',
    'press 2', 'answer Yes',
  ].join('\n') + '\n';
}

function kioPackage(args) {
  return spawnSync(process.env.KIO_BINARY, ['package', ...args], { encoding: 'utf8' });
}

// A web server on the loopback for the host pages, the run-times and the
// unpacked courses: the platform, its API and the course share one origin.
function startServer(root) {
  const types = { '.html': 'text/html', '.htm': 'text/html', '.js': 'text/javascript', '.gif': 'image/gif' };
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.resolve(root, '.' + name);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    response.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    url: `http://127.0.0.1:${server.address().port}`,
    close: () => new Promise((done) => server.close(done)),
  })));
}

// The host page: the platform. It makes the run-time's API, records every
// call with its answer, and shows the course in a frame (or in a frame
// inside a frame).
const HOST = `<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"><title>Platform</title>
<script src="/lib/scorm12.js"></script><script src="/lib/scorm2004.js"></script>
<script>
var params = new URLSearchParams(location.search);
var v2004 = params.get('version') === '2004';
window.runtime = v2004 ? new Scorm2004API({ logLevel: 5 }) : new Scorm12API({ logLevel: 5 });
window.calls = [];
var names = v2004
  ? ['Initialize', 'Terminate', 'GetValue', 'SetValue', 'Commit', 'GetLastError', 'GetErrorString', 'GetDiagnostic']
  : ['LMSInitialize', 'LMSFinish', 'LMSGetValue', 'LMSSetValue', 'LMSCommit', 'LMSGetLastError', 'LMSGetErrorString', 'LMSGetDiagnostic'];
var api = {};
names.forEach(function (name) {
  api[name] = function () {
    var args = Array.prototype.slice.call(arguments);
    var answer = runtime[name].apply(runtime, args);
    if (!/Error|Diagnostic/.test(name)) calls.push([name].concat(args, [String(answer)]));
    return answer;
  };
});
window[v2004 ? 'API_1484_11' : 'API'] = api;
</script></head><body>
<iframe id="course" title="course" width="900" height="700"></iframe>
<script>
var course = params.get('course');
document.getElementById('course').src = params.get('nested') ? '/nest.html?course=' + encodeURIComponent(course) : course;
</script></body></html>`;
const NEST = `<!DOCTYPE html><html lang="en"><head><meta charset="utf-8"><title>Nest</title></head><body>
<iframe id="inner" title="inner" width="880" height="680"></iframe>
<script>document.getElementById('inner').src = new URLSearchParams(location.search).get('course');</script>
</body></html>`;

before(async () => {
  const run = runKioScript('scorm', ({ dir }) => {
    // Sample pages for the Multiple choice page (and the Cloze page its
    // second question shows), and files no page links to.
    const samples = makeSamplePages();
    for (const name of ['multi.htm', 'cloze.htm']) fs.copyFileSync(path.join(samples.outdir, name), path.join(dir, name));
    fs.rmSync(samples.outdir, { recursive: true, force: true });
    fs.writeFileSync(path.join(dir, PICTURE), GIF);
    fs.writeFileSync(path.join(dir, 'unused.gif'), GIF);
    fs.writeFileSync(path.join(dir, 'rascunho.htm'), '<p>draft</p>');
    fs.writeFileSync(path.join(path.dirname(dir), 'fora.gif'), GIF);
    return courseScript(dir);
  });
  session.dir = run.dir;
  session.cleanup = () => {
    run.cleanup();
    fs.rmSync(path.join(path.dirname(run.dir), 'fora.gif'), { force: true });
  };
  session.root = fs.mkdtempSync(path.join(os.tmpdir(), 'kio-platform-'));
  fs.mkdirSync(path.join(session.root, 'lib'));
  for (const name of ['scorm12.js', 'scorm2004.js']) {
    fs.copyFileSync(path.join('node_modules', 'scorm-again', 'dist', name), path.join(session.root, 'lib', name));
  }
  fs.writeFileSync(path.join(session.root, 'host.html'), HOST);
  fs.writeFileSync(path.join(session.root, 'nest.html'), NEST);
  session.server = await startServer(session.root);
  session.browser = await launchBrowser();
});

after(async () => {
  await session.browser?.close();
  await session.server?.close();
  session.cleanup?.();
  if (session.root) fs.rmSync(session.root, { recursive: true, force: true });
});

const COURSE = ['cloze.htm', 'cloze1.htm', 'index.html', READING, 'menu.htm', 'multi.htm', PICTURE];

test('kio package lists the links that cannot travel and packages only what the start page reaches', () => {
  const start = path.join(session.dir, 'index.html');
  const out = path.join(session.root, 'web.zip');
  const refused = kioPackage([start, '--format', 'web', '--out', out]);
  assert.equal(refused.status, 1, refused.stderr);
  assert.match(refused.stderr, new RegExp(`${READING}: falta\\.gif: the file does not exist`));
  assert.match(refused.stderr, new RegExp(`${READING}: \\.\\./fora\\.gif: the file is outside the course folder`));
  assert.equal(fs.existsSync(out), false, 'nothing written before the teacher agrees');

  const made = kioPackage([start, '--format', 'web', '--leave-out', '--out', out]);
  assert.equal(made.status, 0, made.stderr);
  const entries = readZip(out);
  assert.deepEqual(entries.map((e) => e.name), COURSE);
  // Names with accents and spaces are UTF-8 in the archive, as on disk.
  assert.ok(entries.find((e) => e.name === READING).utf8);
  assert.deepEqual(entries.find((e) => e.name === PICTURE).bytes, GIF);
  // Every entry carries the same fixed time.
  assert.equal(new Set(entries.map((e) => `${e.date}:${e.time}`)).size, 1);
  const again = path.join(session.root, 'web-again.zip');
  assert.equal(kioPackage([start, '--format', 'web', '--leave-out', '--out', again]).status, 0);
  assert.deepEqual(fs.readFileSync(again), fs.readFileSync(out), 'the same course gives the same package');
});

// Packages the course in a format, unpacked under the server's root.
function packaged(format, mastery) {
  const out = path.join(session.root, `${format}-${mastery}.zip`);
  const made = kioPackage([path.join(session.dir, 'index.html'), '--format', format, '--mastery', String(mastery),
    '--title', 'Unit 1', '--leave-out', '--out', out]);
  assert.equal(made.status, 0, made.stderr);
  const folder = path.join(session.root, `${format}-${mastery}`);
  const entries = extractZip(out, folder);
  return { folder, entries, url: (name) => `/${format}-${mastery}/${encodeURIComponent(name)}` };
}

// The SCORM 2004 manifest against the 4th edition's content-packaging
// rules, element by element (the browser's XML parser reads it).
test('the SCORM 2004 manifest follows the 4th edition content-packaging rules', async () => {
  const pkg = packaged('scorm2004', 60);
  const manifest = pkg.entries.find((e) => e.name === 'imsmanifest.xml');
  assert.ok(manifest, 'imsmanifest.xml at the root');
  assert.equal(pkg.entries[0].name, 'imsmanifest.xml');
  const page = await openPage(session.browser, 'about:blank');
  const found = await page.evaluate((xml) => {
    const CP = 'http://www.imsglobal.org/xsd/imscp_v1p1';
    const ADLCP = 'http://www.adlnet.org/xsd/adlcp_v1p3';
    const SS = 'http://www.imsglobal.org/xsd/imsss';
    const doc = new DOMParser().parseFromString(xml, 'application/xml');
    const problems = [];
    const need = (ok, what) => { if (!ok) problems.push(what); };
    need(!doc.querySelector('parsererror'), 'well-formed');
    const root = doc.documentElement;
    need(root.localName === 'manifest' && root.namespaceURI === CP, 'root manifest in the IMS CP 1.1.4 namespace');
    const kids = (el, ns, name) => [...el.children].filter((c) => c.namespaceURI === ns && (!name || c.localName === name));
    const ids = [...doc.querySelectorAll('[identifier]')].map((e) => e.getAttribute('identifier'));
    need(new Set(ids).size === ids.length, 'identifiers unique');
    need(ids.every((id) => /^[A-Za-z_][\w.-]*$/.test(id)), 'identifiers are xs:ID');
    need(kids(root, CP).map((c) => c.localName).join() === 'metadata,organizations,resources', 'metadata, organizations, resources in order');
    const metadata = kids(root, CP, 'metadata')[0];
    need(kids(metadata, CP, 'schema')[0]?.textContent === 'ADL SCORM', 'schema ADL SCORM');
    need(kids(metadata, CP, 'schemaversion')[0]?.textContent === '2004 4th Edition', 'schemaversion 2004 4th Edition');
    const organizations = kids(root, CP, 'organizations')[0];
    const orgs = kids(organizations, CP, 'organization');
    need(orgs.length === 1, 'one organization');
    need(organizations.getAttribute('default') === orgs[0].getAttribute('identifier'), 'default names the organization');
    need(kids(orgs[0], CP)[0].localName === 'title' && kids(orgs[0], CP, 'title')[0].textContent === 'Unit 1', 'organization title first');
    const resources = kids(kids(root, CP, 'resources')[0], CP, 'resource');
    const byId = Object.fromEntries(resources.map((r) => [r.getAttribute('identifier'), r]));
    const items = kids(orgs[0], CP, 'item');
    const itemInfo = items.map((item) => {
      const res = byId[item.getAttribute('identifierref')];
      need(res, 'identifierref names a resource');
      need(kids(item, CP)[0]?.localName === 'title', 'item title first');
      // An item's children: title, then imsss:sequencing (after any CP
      // elements), nothing from another namespace.
      const order = [...item.children].map((c) => `${c.namespaceURI === SS ? 'imsss' : 'cp'}:${c.localName}`);
      need(order.join() === 'cp:title,imsss:sequencing', `item children ${order}`);
      const objective = item.querySelector('sequencing > objectives > primaryObjective');
      need(objective?.getAttribute('satisfiedByMeasure') === 'true', 'primary objective satisfied by measure');
      const measure = Number(objective?.querySelector('minNormalizedMeasure')?.textContent);
      need(measure >= -1 && measure <= 1, 'minNormalizedMeasure in [-1, 1]');
      return { title: kids(item, CP, 'title')[0].textContent, href: res?.getAttribute('href'), measure,
        type: res?.getAttributeNS(ADLCP, 'scormType') };
    });
    // The organization's own sequencing comes after its items.
    const orgOrder = [...orgs[0].children].map((c) => c.localName);
    need(orgOrder.at(-1) === 'sequencing' && orgOrder.lastIndexOf('item') < orgOrder.indexOf('sequencing'), 'organization sequencing last');
    const files = [];
    for (const res of resources) {
      need(res.getAttribute('type') === 'webcontent', 'resource type webcontent');
      const type = res.getAttributeNS(ADLCP, 'scormType');
      need(type === 'sco' || type === 'asset', 'adlcp:scormType sco or asset');
      const hrefs = kids(res, CP, 'file').map((f) => f.getAttribute('href'));
      if (res.hasAttribute('href')) need(hrefs.includes(res.getAttribute('href')), 'a resource lists its own href');
      files.push(...hrefs);
    }
    return { problems, items: itemInfo, files: [...new Set(files)].map(decodeURIComponent).sort() };
  }, manifest.bytes.toString('utf8'));
  await closeClean(page);
  assert.deepEqual(found.problems, []);
  // One item per activity page, in the order the course reaches them.
  assert.deepEqual(found.items, [
    { title: 'cloze1', href: 'cloze1.htm', measure: 0.6, type: 'sco' },
    { title: 'multi', href: 'multi.htm', measure: 0.6, type: 'sco' },
    { title: 'cloze', href: 'cloze.htm', measure: 0.6, type: 'sco' },
  ]);
  // Every file of the package is in the manifest, and nothing else.
  assert.deepEqual(found.files, pkg.entries.map((e) => e.name).filter((n) => n !== 'imsmanifest.xml').sort());
});

// The platform's view of one attempt: the calls in order, each SetValue
// accepted by the run-time, one initialize first and one finish last.
async function callsOf(host, v2004) {
  const [INIT, FINISH, SET] = v2004 ? ['Initialize', 'Terminate', 'SetValue'] : ['LMSInitialize', 'LMSFinish', 'LMSSetValue'];
  await host.waitForFunction((name) => window.calls.some((c) => c[0] === name), FINISH);
  const calls = await host.evaluate(() => window.calls);
  const names = calls.map((c) => c[0]);
  assert.equal(names.filter((n) => n === INIT).length, 1, 'one initialize');
  assert.equal(names[0], INIT);
  assert.equal(names.filter((n) => n === FINISH).length, 1, 'one finish');
  assert.equal(names.at(-1), FINISH);
  for (const call of calls.filter((c) => !/GetValue/.test(c[0]))) {
    assert.equal(call.at(-1), 'true', `${call.join(' ')}: refused by the run-time`);
  }
  const sets = calls.filter((c) => c[0] === SET).map((c) => [c[1], c[2]]);
  return { calls, sets, value: (name) => sets.filter((s) => s[0] === name).map((s) => s[1]).at(-1) };
}

async function hostPage(version, course, nested = false) {
  const query = new URLSearchParams({ version, course });
  if (nested) query.set('nested', '1');
  const host = await openPage(session.browser, `${session.server.url}/host.html?${query}`);
  return host;
}

function frameOf(host, nested) {
  return nested ? host.frameLocator('#course').frameLocator('#inner') : host.frameLocator('#course');
}

async function doCloze(page, right) {
  const gaps = page.locator('#text .gap input');
  await gaps.nth(0).fill(right ? 'cat' : 'dog');
  await gaps.nth(1).fill(right ? 'mat' : 'rug');
  await page.locator('#check').click();
  if (!right) {
    await page.locator('#reveal').click();
    await page.locator('#reveal').click();
  }
  await page.locator('#done').filter({ hasText: /\S/ }).waitFor();
}

// The sample Multiple choice page answered as in the list tests: the first
// question right at the second try, the second at the first, the third a
// practice question: 50 %.
async function doMulti(page) {
  const item = () => page.locator('#items .item:not([hidden])');
  await item().locator('.option input').nth(0).check();
  await page.locator('#check').click();
  await item().locator('.option input').nth(1).check();
  await page.locator('#check').click();
  await page.locator('#next').click();
  await item().locator('.option input').nth(0).check();
  await item().locator('.option input').nth(1).check();
  await page.locator('#check').click();
  await page.locator('#next').click();
  await item().locator('.option input').nth(1).check();
  await page.locator('#check').click();
  await item().locator('.option input').nth(0).check();
  await page.locator('#check').click();
  await page.locator('#done').filter({ hasText: /\S/ }).waitFor();
}

test('SCORM 1.2: a Cloze opened from the Menu in a pop-up reports a failed attempt; a Multiple choice in a nested frame passes', async () => {
  const pkg = packaged('scorm12', 50);
  // The student starts at the index in the platform's frame, goes to the
  // menu, and the menu opens the Cloze in a window of its own.
  const host = await hostPage('1.2', pkg.url('index.html'));
  const frame = frameOf(host, false);
  await frame.getByRole('link', { name: 'Unit 1: activities' }).click();
  const [popup] = await Promise.all([host.waitForEvent('popup'), frame.getByRole('link', { name: 'Atividade 2 - cloze1.htm' }).click()]);
  await popup.waitForLoadState();
  await doCloze(popup, false);
  await screenshot(popup, 'scorm12-cloze-failed');
  await popup.close({ runBeforeUnload: true });
  const cloze = await callsOf(host, false);
  assert.deepEqual(cloze.calls.slice(0, 4).map((c) => c.slice(0, 3)), [
    ['LMSInitialize', '', 'true'],
    ['LMSGetValue', 'cmi.student_data.mastery_score', ''],
    ['LMSGetValue', 'cmi.core.lesson_status', 'not attempted'],
    ['LMSSetValue', 'cmi.core.lesson_status', 'incomplete'],
  ]);
  assert.deepEqual(cloze.sets.slice(1), [
    ['cmi.core.score.min', '0'], ['cmi.core.score.max', '100'], ['cmi.core.score.raw', '0'],
    ['cmi.core.lesson_status', 'failed'],
    ['cmi.interactions.0.id', 'answer-1'], ['cmi.interactions.0.type', 'fill-in'],
    ['cmi.interactions.0.student_response', 'cat'], ['cmi.interactions.0.result', 'wrong'],
    ['cmi.interactions.1.id', 'answer-2'], ['cmi.interactions.1.type', 'fill-in'],
    ['cmi.interactions.1.student_response', 'mat'], ['cmi.interactions.1.result', 'wrong'],
    ['cmi.core.session_time', cloze.value('cmi.core.session_time')],
  ]);
  assert.match(cloze.value('cmi.core.session_time'), /^\d{2,4}:\d{2}:\d{2}\.\d{2}$/);
  const names = cloze.calls.map((c) => c[0]);
  assert.deepEqual(names.slice(-3), ['LMSSetValue', 'LMSCommit', 'LMSFinish']);
  await closeClean(host);

  // The Multiple choice, launched by the platform inside a frame inside a
  // frame: the results form sends to the platform.
  const host2 = await hostPage('1.2', pkg.url('multi.htm'), true);
  const multi = frameOf(host2, true);
  await doMulti(multi);
  await multi.locator('#send summary').click();
  await multi.locator('#sendState', { hasText: 'Your results go to your learning platform.' }).waitFor();
  await multi.getByRole('button', { name: 'Send to the platform' }).click();
  await multi.locator('#sendState', { hasText: 'Sent to your learning platform.' }).waitFor();
  await host2.evaluate(() => { document.getElementById('course').src = 'about:blank'; });
  const m = await callsOf(host2, false);
  assert.equal(m.value('cmi.core.score.raw'), '50');
  assert.equal(m.value('cmi.core.lesson_status'), 'passed');
  assert.deepEqual(m.sets.filter((s) => /\.(student_response|result)$/.test(s[0])).map((s) => s[1]),
    ['The cat', 'correct', 'cat | mat', 'correct', 'Yes', 'correct']);
  assert.equal(await host2.evaluate(() => window.runtime.cmi.core.lesson_status), 'passed');
  await closeClean(host2);
});

test('SCORM 2004: a Cloze passes; a Multiple choice opened from the Menu below the mastery score fails', async () => {
  const pkg = packaged('scorm2004', 60);
  const host = await hostPage('2004', pkg.url('cloze1.htm'));
  await doCloze(frameOf(host, false), true);
  await host.evaluate(() => { document.getElementById('course').src = 'about:blank'; });
  const cloze = await callsOf(host, true);
  assert.deepEqual(cloze.calls[0], ['Initialize', '', 'true']);
  assert.deepEqual(cloze.sets.slice(1, 7), [
    ['cmi.score.min', '0'], ['cmi.score.max', '100'], ['cmi.score.raw', '100'], ['cmi.score.scaled', '1'],
    ['cmi.completion_status', 'completed'], ['cmi.success_status', 'passed'],
  ]);
  assert.deepEqual(cloze.sets.filter((s) => /interactions\.\d+\.(learner_response|result)/.test(s[0])).map((s) => s[1]),
    ['cat', 'correct', 'mat', 'correct']);
  assert.equal(cloze.value('cmi.exit'), 'normal');
  assert.match(cloze.value('cmi.session_time'), /^PT\d+H\d+M[\d.]+S$/);
  assert.deepEqual(cloze.calls.slice(-2).map((c) => c[0]), ['Commit', 'Terminate']);
  await closeClean(host);

  const host2 = await hostPage('2004', pkg.url('menu.htm'));
  const [popup] = await Promise.all([host2.waitForEvent('popup'),
    frameOf(host2, false).getByRole('link', { name: 'Atividade 3 - multi.htm' }).click()]);
  await popup.waitForLoadState();
  await doMulti(popup);
  await popup.close({ runBeforeUnload: true });
  const m = await callsOf(host2, true);
  assert.equal(m.value('cmi.score.scaled'), '0.5');
  assert.equal(m.value('cmi.success_status'), 'failed', 'below the mastery score of 60 %');
  assert.equal(m.value('cmi.completion_status'), 'completed');
  await closeClean(host2);
});

test('the SCORM package opened from file:// without a platform works as before', async () => {
  const pkg = packaged('scorm12', 50);
  const url = (name) => pathToFileURL(path.join(pkg.folder, name)).href;
  const index = await openPage(session.browser, url('index.html'));
  await Promise.all([index.waitForURL(/menu\.htm$/), index.getByRole('link', { name: 'Unit 1: activities' }).click()]);
  const [popup] = await Promise.all([index.waitForEvent('popup'), index.getByRole('link', { name: 'Atividade 2 - cloze1.htm' }).click()]);
  await popup.waitForLoadState();
  popup.kioErrors = [];
  popup.on('pageerror', (error) => popup.kioErrors.push(String(error)));
  await doCloze(popup, true);
  assert.equal(await popup.locator('#fScore').inputValue(), '100%');
  assert.match(await popup.locator('#sendState').textContent(), /cannot send results|n\u00e3o envia resultados/);
  assert.deepEqual(popup.kioErrors, []);
  await popup.close();
  await closeClean(index);
});
