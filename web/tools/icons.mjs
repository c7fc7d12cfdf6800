// The installed app's icons, drawn from the game's own 32 x 32 icon in whole pixels, each
// picture pixel a square of device pixels, never smoothed:
//   node icons.mjs ICON.png SITE BACKGROUND
// writes SITE/icon-192.png and SITE/icon-512.png (the icon filling the square, transparent
// where it is) and SITE/icon-maskable.png (512 pixels, the icon inside the circle that every
// mask keeps, on BACKGROUND, #rrggbb). Same input, same bytes.
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { deflateSync, inflateSync } from 'node:zlib';

const [iconFile, site, background] = process.argv.slice(2);

// The chunks of a PNG file, by type.
function chunks(png) {
  const found = {};
  for (let offset = 8; offset < png.length;) {
    const length = png.readUInt32BE(offset);
    const type = png.toString('latin1', offset + 4, offset + 8);
    found[type] = Buffer.concat([found[type] ?? Buffer.alloc(0), png.subarray(offset + 8, offset + 8 + length)]);
    offset += 12 + length;
  }
  return found;
}

// The icon as rows of palette indices, with its palette and transparency. The icon is an
// indexed PNG of 1, 2, 4 or 8 bits, each row unfiltered or filtered.
function readIcon(file) {
  const { IHDR, PLTE, tRNS, IDAT } = chunks(readFileSync(file));
  const [width, height, depth, colourType, interlace] = [IHDR.readUInt32BE(0), IHDR.readUInt32BE(4), IHDR[8], IHDR[9], IHDR[12]];
  if (colourType !== 3 || interlace !== 0) throw new Error(`${file}: not an indexed, non-interlaced PNG`);
  const raw = inflateSync(IDAT);
  const stride = Math.ceil((width * depth) / 8);
  const bytes = Buffer.alloc(stride * height);
  const step = Math.max(1, depth / 8);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; ++i) {
      const left = i >= step ? bytes[y * stride + i - step] : 0;
      const up = y > 0 ? bytes[(y - 1) * stride + i] : 0;
      const upLeft = y > 0 && i >= step ? bytes[(y - 1) * stride + i - step] : 0;
      const p = left + up - upLeft;
      const paeth = [[Math.abs(p - left), left], [Math.abs(p - up), up], [Math.abs(p - upLeft), upLeft]]
        .reduce((best, next) => (next[0] < best[0] ? next : best))[1];
      bytes[y * stride + i] = (raw[y * (stride + 1) + 1 + i] + [0, left, up, (left + up) >> 1, paeth][filter]) & 0xff;
    }
  }
  const rows = Array.from({ length: height }, (_, y) => Array.from({ length: width }, (_, x) => {
    const bit = x * depth;
    return (bytes[y * stride + (bit >> 3)] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
  }));
  return { rows, palette: PLTE, alpha: tRNS ?? Buffer.alloc(0) };
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function chunk(type, body) {
  const typed = Buffer.concat([Buffer.from(type, 'latin1'), body]);
  let crc = 0xffffffff;
  for (const byte of typed) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(body.length);
  const check = Buffer.alloc(4);
  check.writeUInt32BE((crc ^ 0xffffffff) >>> 0);
  return Buffer.concat([length, typed, check]);
}

// An 8-bit indexed PNG of `size` pixels: the icon's pixels as squares of `scale`, their top
// left corner at `offset`, every other pixel of index `fill`.
function png(icon, size, scale, offset, fill, palette, alpha) {
  const rows = [];
  for (let y = 0; y < size; ++y) {
    const row = Buffer.alloc(size + 1, fill);
    row[0] = 0;  // no filter: the rows repeat, and deflate finds them
    const source = icon.rows[Math.floor((y - offset) / scale)];
    for (let x = offset; source && x < offset + icon.rows[0].length * scale; ++x) {
      row[1 + x] = source[Math.floor((x - offset) / scale)];
    }
    rows.push(row);
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header[8] = 8;  // bits per index
  header[9] = 3;  // indexed colour
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]), chunk('IHDR', header),
    chunk('PLTE', palette), ...(alpha.length ? [chunk('tRNS', alpha)] : []),
    chunk('IDAT', deflateSync(Buffer.concat(rows), { level: 9 })), chunk('IEND', Buffer.alloc(0))]);
}

const icon = readIcon(iconFile);
const side = icon.rows.length;
// The first transparent index stands for every pixel around the icon.
const clear = [...icon.alpha].findIndex((value) => value === 0);
if (clear < 0) throw new Error(`${iconFile}: no transparent colour`);
for (const size of [192, 512]) {
  if (size % side) throw new Error(`${size} is no whole multiple of the icon's ${side} pixels`);
  writeFileSync(join(site, `icon-${size}.png`), png(icon, size, size / side, 0, clear, icon.palette, icon.alpha));
}

// A mask may keep no more than the circle of 80 % of the width in the middle: the largest
// whole scale whose square fits in it, centred, on the background.
const kMaskable = 512;
const scale = Math.floor((0.8 * kMaskable) / Math.SQRT2 / side);
const colours = Buffer.from(icon.palette);
Buffer.from(background.replace('#', ''), 'hex').copy(colours, clear * 3);
writeFileSync(join(site, 'icon-maskable.png'),
  png(icon, kMaskable, scale, Math.floor((kMaskable - side * scale) / 2), clear, colours, Buffer.alloc(0)));
