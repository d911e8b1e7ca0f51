// Reads a zip archive written by kio package: its entries in order, with
// their names, bytes and the time each carries (stored or deflated entries
// only, which is all the packager writes).
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

export function readZip(file) {
  const data = fs.readFileSync(file);
  let end = data.length - 22;
  while (end >= 0 && data.readUInt32LE(end) !== 0x06054b50) end--;
  if (end < 0) throw new Error(`${file}: no end of central directory`);
  const count = data.readUInt16LE(end + 10);
  let at = data.readUInt32LE(end + 16);
  const entries = [];
  for (let i = 0; i < count; i++) {
    if (data.readUInt32LE(at) !== 0x02014b50) throw new Error(`${file}: bad central directory`);
    const flags = data.readUInt16LE(at + 8);
    const method = data.readUInt16LE(at + 10);
    const time = data.readUInt16LE(at + 12);
    const date = data.readUInt16LE(at + 14);
    const compressed = data.readUInt32LE(at + 20);
    const size = data.readUInt32LE(at + 24);
    const nameLength = data.readUInt16LE(at + 28);
    const extraLength = data.readUInt16LE(at + 30);
    const commentLength = data.readUInt16LE(at + 32);
    const local = data.readUInt32LE(at + 42);
    const name = data.subarray(at + 46, at + 46 + nameLength).toString('utf8');
    const start = local + 30 + data.readUInt16LE(local + 26) + data.readUInt16LE(local + 28);
    const raw = data.subarray(start, start + compressed);
    const bytes = method === 0 ? raw : zlib.inflateRawSync(raw);
    if (bytes.length !== size) throw new Error(`${file}: ${name} has ${bytes.length} bytes, not ${size}`);
    entries.push({ name, bytes, method, utf8: (flags & 0x800) !== 0, time, date });
    at += 46 + nameLength + extraLength + commentLength;
  }
  return entries;
}

// Writes the entries under `folder`, which must hold them all.
export function extractZip(file, folder) {
  const entries = readZip(file);
  for (const entry of entries) {
    const target = path.resolve(folder, entry.name);
    if (!target.startsWith(path.resolve(folder) + path.sep)) throw new Error(`${entry.name} leaves the folder`);
    fs.mkdirSync(path.dirname(target), { recursive: true });
    fs.writeFileSync(target, entry.bytes);
  }
  return entries;
}
