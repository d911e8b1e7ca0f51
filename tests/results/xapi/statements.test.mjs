// The /xapi/statements resource of kio-results, exercised by a real xAPI
// client library (@xapi/xapi) and checked against the Learning Locker
// statement validator: what the validator passes the server stores and gives
// back; what it refuses the server answers 400; a statement sent again under
// its id with other content is a conflict (409). The npm packages are those
// of tests/browser (its package.json and lock).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';

const require = createRequire(new URL('../../browser/package.json', import.meta.url));
const XAPI = require('@xapi/xapi').default ?? require('@xapi/xapi');
const validate = require('@learninglocker/xapi-validation').default;

const program = process.env.KIO_RESULTS;
let server, endpoint, key, data;

before(async () => {
  data = mkdtempSync(path.join(tmpdir(), 'kio-xapi-'));
  server = spawn(program, ['--listen', '127.0.0.1', '--port', '0', '--data', data, '--limit', '0']);
  let printed = '';
  await new Promise((resolve, reject) => {
    server.stdout.on('data', (chunk) => {
      printed += chunk;
      if (printed.includes('Stop with')) resolve();
    });
    server.on('exit', () => reject(new Error('kio-results ended: ' + printed)));
  });
  const base = printed.match(/Results address \(for Configura.txt\): (http:\/\/[^/\s]+)/)[1];
  endpoint = base + '/xapi/';
  key = printed.match(/Teacher view: \S+\?key=([0-9a-f]+)/)[1];
});

after(() => {
  server?.kill('SIGTERM');
  rmSync(data, { recursive: true, force: true });
});

function client(version = '1.0.3') {
  return new XAPI({ endpoint, auth: XAPI.toBasicAuth('teacher', key), version });
}

const ana = { objectType: 'Agent', name: 'Ana Souza', mbox: 'mailto:ana@escola.example' };
const page = 'https://escola.example/kio/aula1.htm';
const verb = (name) => ({ id: `http://adlnet.gov/expapi/verbs/${name}`, display: { 'en-US': name } });

function answered(item, response, success) {
  return {
    actor: ana,
    verb: verb('answered'),
    object: { objectType: 'Activity', id: `${page}#item-${item}`, definition: { name: { 'pt-BR': `Lacuna ${item}` } } },
    result: { response, success },
    context: { contextActivities: { parent: [{ id: page }] } },
    timestamp: '2026-12-11T10:00:00.000Z',
  };
}

// The status of a refused request, whatever form the library throws it in.
async function refusedStatus(promise) {
  try {
    const res = await promise;
    return res.status;
  } catch (error) {
    return error?.response?.status ?? error?.status ?? Number(String(error?.message).match(/\b(4\d\d)\b/)?.[1]);
  }
}

test('statements the validator accepts are stored and read back, by id and by filters', async () => {
  const statements = [
    answered(1, 'gato', true),
    answered(2, 'mato', false),
    {
      actor: ana,
      verb: verb('passed'),
      object: { id: page, definition: { type: 'http://adlnet.gov/expapi/activities/assessment' } },
      result: { score: { scaled: 0.75, raw: 3, min: 0, max: 4 }, success: true, completion: true, duration: 'PT2M30S' },
    },
  ];
  for (const s of statements) assert.deepEqual(validate(s), [], JSON.stringify(s));
  for (const version of ['1.0.3', '2.0.0']) {
    const xapi = client(version);
    const sent = await xapi.sendStatements({ statements });
    assert.equal(sent.status, 200);
    assert.equal(sent.data.length, 3);
    const back = await xapi.getStatement({ statementId: sent.data[2] });
    assert.equal(back.data.id, sent.data[2]);
    assert.deepEqual(back.data.result, statements[2].result);
    assert.ok(back.data.stored);
    // The validator knows xAPI 1.0 only: it checks what a 1.0.3 client gets.
    if (version === '1.0.3') assert.deepEqual(validate(back.data), [], 'what the store gives back is a valid statement');
  }
  const xapi = client();
  const byVerb = await xapi.getStatements({ verb: verb('passed').id });
  assert.equal(byVerb.data.statements.length, 2);
  const byActivity = await xapi.getStatements({ activity: `${page}#item-2` });
  assert.equal(byActivity.data.statements.length, 2);
  assert.ok(byActivity.data.statements.every((s) => s.result.response === 'mato'));
  const byAgent = await xapi.getStatements({ agent: { mbox: 'mailto:ana@escola.example' } });
  assert.equal(byAgent.data.statements.length, 6);
  const nobody = await xapi.getStatements({ agent: { mbox: 'mailto:nobody@escola.example' } });
  assert.equal(nobody.data.statements.length, 0);
  const since = await xapi.getStatements({ since: '2999-01-01T00:00:00.000Z' });
  assert.equal(since.data.statements.length, 0);
});

test('a statement sent again under its id is fine; other content under it is a conflict', async () => {
  const xapi = client();
  const id = 'b3a7c1d2-5e6f-4a8b-9c0d-1e2f3a4b5c6d';
  const statement = { id, ...answered(3, 'rato', true) };
  assert.deepEqual(validate(statement), []);
  assert.deepEqual((await xapi.sendStatement({ statement })).data, [id]);
  assert.deepEqual((await xapi.sendStatement({ statement })).data, [id]);
  const changed = { ...statement, result: { response: 'pato', success: false } };
  assert.equal(await refusedStatus(xapi.sendStatement({ statement: changed })), 409);
  // PUT with the id as statementId: the same rules, and 204.
  const put = (body, statementId = id) =>
    fetch(`${endpoint}statements?statementId=${statementId}`, {
      method: 'PUT',
      headers: { 'Content-Type': 'application/json', 'X-Experience-API-Version': '2.0.0' },
      body: JSON.stringify(body),
    });
  assert.equal((await put(answered(3, 'rato', true))).status, 204);
  assert.equal((await put(changed)).status, 409);
  assert.equal((await put(answered(3, 'rato', true), 'not-a-uuid')).status, 400);
  const other = 'c3a7c1d2-5e6f-4a8b-9c0d-1e2f3a4b5c6e';
  assert.equal((await put(statement, other)).status, 400, 'an id that differs from statementId');
  assert.equal((await put(answered(6, 'sapo', true), other)).status, 204);
  assert.equal((await xapi.getStatement({ statementId: other })).data.result.response, 'sapo');
  assert.equal((await xapi.getStatement({ statementId: id })).data.result.response, 'rato');
  assert.equal(await refusedStatus(xapi.getStatement({ statementId: 'd3a7c1d2-5e6f-4a8b-9c0d-1e2f3a4b5c6f' })), 404);
});

test('statements the validator refuses are refused with 400 and not stored', async () => {
  const bad = [
    { ...answered(4, 'x', true), actor: { name: 'No identifier' } },
    { ...answered(4, 'x', true), actor: { mbox: 'ana@escola.example' } },
    { ...answered(4, 'x', true), verb: { id: 'answered' } },
    { ...answered(4, 'x', true), object: { id: 'not an iri' } },
    { ...answered(4, 'x', true), result: { score: { scaled: 1.5 } } },
    { ...answered(4, 'x', true), timestamp: 'yesterday' },
    { ...answered(4, 'x', true), id: 'not-a-uuid' },
    { ...answered(4, 'x', true), unknown: true },
  ];
  const xapi = client();
  const before = (await xapi.getStatements({ limit: 500 })).data.statements.length;
  for (const statement of bad) {
    assert.notDeepEqual(validate(statement), [], 'the validator refuses ' + JSON.stringify(statement));
    assert.equal(await refusedStatus(xapi.sendStatements({ statements: [statement] })), 400, JSON.stringify(statement));
  }
  assert.equal((await xapi.getStatements({ limit: 500 })).data.statements.length, before);
});

test('the version header is required, and reading needs the key', async () => {
  const statement = answered(5, 'y', true);
  const post = (headers) =>
    fetch(endpoint + 'statements', { method: 'POST', headers: { 'Content-Type': 'application/json', ...headers }, body: JSON.stringify(statement) });
  assert.equal((await post({})).status, 400);
  assert.equal((await post({ 'X-Experience-API-Version': '0.95' })).status, 400);
  const ok = await post({ 'X-Experience-API-Version': '1.0.3' });
  assert.equal(ok.status, 200);
  assert.equal(ok.headers.get('access-control-allow-origin'), '*');
  const read = (auth) =>
    fetch(endpoint + 'statements', { headers: { 'X-Experience-API-Version': '1.0.3', ...(auth ? { Authorization: auth } : {}) } });
  assert.equal((await read()).status, 401);
  assert.equal((await read(XAPI.toBasicAuth('teacher', '0'.repeat(32)))).status, 403);
  assert.equal((await read(XAPI.toBasicAuth('teacher', key))).status, 200);
});
