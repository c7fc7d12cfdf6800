// PNG pictures as the browsers hand them over: decoded to RGBA pixels to read the board, and
// cropped and written again where a driver can only photograph the whole viewport.
import { deflateSync, inflateSync } from 'node:zlib';
import { pngChunks, pngFile, unfilteredRows } from '../../web/tools/png.mjs';

// RGBA pixels of an 8-bit RGB or RGBA PNG, such as the browsers' screenshots.
export function decodePng(png) {
  const { IHDR, IDAT } = pngChunks(png);
  const [width, height] = [IHDR.readUInt32BE(0), IHDR.readUInt32BE(4)];
  const channels = { 2: 3, 6: 4 }[IHDR[9]];
  if (IHDR[8] !== 8 || !channels || IHDR[12] !== 0) throw new Error('unexpected PNG format');
  const rows = unfilteredRows(inflateSync(IDAT), width * channels, height, channels);
  const rgba = Buffer.alloc(width * height * 4, 0xff);
  for (let p = 0; p < width * height; ++p) rows.copy(rgba, p * 4, p * channels, p * channels + 3);
  return { width, height, rgba };
}

// An RGB PNG of the pixels of `picture` (decoded as above) inside the box, in its pixels.
export function cropPng(picture, { x, y, width, height }) {
  const raw = Buffer.alloc((width * 3 + 1) * height);
  for (let row = 0; row < height; ++row) {
    for (let column = 0; column < width; ++column) {
      const from = ((y + row) * picture.width + x + column) * 4;
      picture.rgba.copy(raw, row * (width * 3 + 1) + 1 + column * 3, from, from + 3);
    }
  }
  const kTrueColour = 2;
  return pngFile(width, height, 8, kTrueColour, [['IDAT', deflateSync(raw)]]);
}
