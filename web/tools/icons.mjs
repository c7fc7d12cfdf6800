// The installed app's icons, drawn from the game's own 32 x 32 icon in whole pixels, each
// picture pixel a square of device pixels, never smoothed:
//   node icons.mjs ICON.png SITE BACKGROUND
// writes SITE/icon-192.png and SITE/icon-512.png (the icon filling the square, transparent
// where it is) and SITE/icon-maskable.png (512 pixels, the icon inside the circle that every
// mask keeps, on BACKGROUND, #rrggbb). Same input, same bytes.
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { deflateSync, inflateSync } from 'node:zlib';
import { pngChunks, pngFile, unfilteredRows } from './png.mjs';

const [iconFile, site, background] = process.argv.slice(2);

// The icon as rows of palette indices, with its palette and transparency. The icon is an
// indexed PNG of 1, 2, 4 or 8 bits, each row unfiltered or filtered.
function readIcon(file) {
  const { IHDR, PLTE, tRNS, IDAT } = pngChunks(readFileSync(file));
  const [width, height, depth, colourType, interlace] = [IHDR.readUInt32BE(0), IHDR.readUInt32BE(4), IHDR[8], IHDR[9], IHDR[12]];
  if (colourType !== 3 || interlace !== 0) throw new Error(`${file}: not an indexed, non-interlaced PNG`);
  const stride = Math.ceil((width * depth) / 8);
  const bytes = unfilteredRows(inflateSync(IDAT), stride, height, Math.max(1, depth / 8));
  const rows = Array.from({ length: height }, (_, y) => Array.from({ length: width }, (_, x) => {
    const bit = x * depth;
    return (bytes[y * stride + (bit >> 3)] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
  }));
  return { rows, palette: PLTE, alpha: tRNS ?? Buffer.alloc(0) };
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
  const kIndexed = 3;
  return pngFile(size, size, 8, kIndexed, [['PLTE', palette], ...(alpha.length ? [['tRNS', alpha]] : []),
    ['IDAT', deflateSync(Buffer.concat(rows), { level: 9 })]]);
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
