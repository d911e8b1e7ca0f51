// Preview in the real program: a teacher saves a Cloze, changes it and
// presses Preview; the page opens in Chromium from the private preview
// folder while KIO runs (the page, its exercise and its picture work, no
// script error), the teacher's folder is unchanged, and the preview folder
// is gone once KIO ends.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { closeClean, launchBrowser, openPage, screenshot } from './lib/harness.mjs';

// A 1x1 GIF: a picture the browser can decode.
const GIF = Buffer.from('R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==', 'base64');

// Every file of a folder with its size, modification time and bytes.
function listing(folder) {
  return Object.fromEntries(fs.readdirSync(folder).sort().map((name) => {
    const file = path.join(folder, name);
    const st = fs.statSync(file);
    return [name, `${st.ino} ${st.mtimeMs} ${fs.readFileSync(file).toString('base64')}`];
  }));
}

// KIO run by a script fed line by line: send() writes lines, waitFor()
// resolves with the first transcript line that matches.
function startKio(programCopy) {
  const child = spawn(process.env.KIO_BINARY, ['--headless', '--program-folder', programCopy, '--script', '-']);
  let transcript = '';
  const waiting = [];
  child.stdout.setEncoding('utf8');
  child.stdout.on('data', (chunk) => {
    transcript += chunk;
    for (const w of [...waiting]) {
      const line = transcript.split('\n').find((l) => w.pattern.test(l));
      if (line !== undefined) {
        waiting.splice(waiting.indexOf(w), 1);
        clearTimeout(w.timer);
        w.resolve(line);
      }
    }
  });
  const exited = new Promise((resolve) => child.on('close', (status) => resolve(status)));
  return {
    send: (...lines) => child.stdin.write(lines.join('\n') + '\n'),
    waitFor: (pattern) => new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`no ${pattern} in:\n${transcript}`)), 30000);
      waiting.push({ pattern, resolve, timer });
      child.stdout.emit('data', '');
    }),
    end: async (...lines) => {
      child.stdin.end(lines.join('\n') + '\n');
      return { status: await exited, transcript };
    },
    kill: () => child.kill(),
  };
}

test('the preview opens from the private folder, works, and leaves the teacher\'s folder as it was', async () => {
  const kioBinary = process.env.KIO_BINARY;
  const program = process.env.KIO_PROGRAM_FOLDER;
  assert.ok(kioBinary && program, 'KIO_BINARY and KIO_PROGRAM_FOLDER name the program');
  const programCopy = fs.mkdtempSync(path.join(os.tmpdir(), 'kio-preview-program-'));
  const teacher = fs.mkdtempSync(path.join(os.tmpdir(), 'kio-preview-teacher-'));
  const browser = await launchBrowser();
  const kio = (fs.cpSync(program, programCopy, { recursive: true }), startKio(programCopy));
  try {
    fs.writeFileSync(path.join(teacher, 'casa.gif'), GIF);
    // Saved, then changed and not saved again.
    kio.send('press 1009', 'type 1401 Look: {i=casa.gif}', 'type 1402 The [cat] sat on the [mat].',
      'press 1423', `choose ${path.join(teacher, 'lesson.clo')}`, 'dump');
    await kio.waitFor(/^CONTROL 1404 lesson\.clo$/);
    const before = listing(teacher);
    kio.send('type 1402 The [dog] ran in the [park].', 'press 1437');
    const opened = await kio.waitFor(/^OPEN /);
    const file = opened.slice('OPEN '.length);
    assert.equal(path.basename(file), 'lesson.htm');
    const folder = path.dirname(file);
    assert.ok(path.basename(folder).startsWith('kio-preview-'), folder);
    assert.equal(fs.statSync(folder).mode & 0o777, 0o700, 'the preview folder is private');

    const page = await openPage(browser, pathToFileURL(file).href);
    assert.equal(await page.title(), 'lesson.htm');
    // The exercise as it is on screen now, not as saved.
    assert.equal(await page.locator('#text .gap input').count(), 2);
    assert.match(await page.locator('#text').innerText(), /ran in the/);
    // Its picture, copied beside it from the teacher's folder.
    const picture = page.locator('#instructions img');
    await picture.waitFor();
    assert.ok(await picture.evaluate((img) => img.complete && img.naturalWidth > 0), 'the picture shows');
    await screenshot(page, 'preview-cloze');
    await closeClean(page);

    assert.deepEqual(listing(teacher), before, 'the teacher\'s folder is unchanged');
    const { status, transcript } = await kio.end('press 2', 'answer No', 'press 2', 'answer Yes');
    assert.equal(status, 0, transcript);
    assert.doesNotMatch(transcript, /SCRIPT ERROR|CHOOSE save .*\.htm/, transcript);
    assert.deepEqual(listing(teacher), before, 'the teacher\'s folder is unchanged');
    assert.ok(!fs.existsSync(folder), 'the preview folder is removed when KIO ends');
  } finally {
    kio.kill();
    await browser.close();
    for (const f of [programCopy, teacher]) fs.rmSync(f, { recursive: true, force: true });
  }
});
