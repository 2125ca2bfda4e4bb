// What each of the five pages must be, and where the tests find the built files.
import { join } from 'node:path';

export const PAGES = [
  { file: 'velmora365.html', title: 'Velmora', kind: 'download', rows: 132, size: 5 },
  { file: 'dashayh263.html', title: '搭讪约会', kind: 'download', rows: 28, size: 5 },
  { file: 'huashugli598.html', title: '话术惯例', kind: 'download', rows: 34, size: 5 },
  { file: 'yishipq668.html', title: '音视频区', kind: 'upcoming', rows: 40, size: 15 },
  { file: 'za32xship5.html', title: '在线视频', kind: 'video', rows: 93, size: 5 },
];

export const PUBLISHER = 'http://www.velmora.example/15/';

export function pagePath(file) {
  const dir = process.env.PAGES_DIR;
  if (!dir) throw new Error('PAGES_DIR is not set; run tests/pages/run.sh');
  return join(dir, file);
}
