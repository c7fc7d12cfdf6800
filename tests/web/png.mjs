// PNG pictures as the browsers hand them over: decoded to RGBA pixels to read the board, and
// cropped and written again where a driver can only photograph the whole viewport.
import { crc32, deflateSync, inflateSync } from 'node:zlib';

// RGBA pixels of an 8-bit RGB or RGBA PNG, such as the browsers' screenshots.
export function decodePng(png) {
  let offset = 8;
  let width = 0; let height = 0; let channels = 0;
  const data = [];
  while (offset < png.length) {
    const length = png.readUInt32BE(offset);
    const type = png.toString('latin1', offset + 4, offset + 8);
    const body = png.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0); height = body.readUInt32BE(4);
      channels = { 2: 3, 6: 4 }[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0) throw new Error('unexpected PNG format');
    } else if (type === 'IDAT') data.push(body);
    offset += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; ++i) {
      const value = raw[y * (stride + 1) + 1 + i];
      const left = i >= channels ? rows[y * stride + i - channels] : 0;
      const up = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const upLeft = y > 0 && i >= channels ? rows[(y - 1) * stride + i - channels] : 0;
      const paeth = () => {
        const p = left + up - upLeft;
        const [a, b, c] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
        return a <= b && a <= c ? left : b <= c ? up : upLeft;
      };
      const predictor = [0, left, up, (left + up) >> 1, filter === 4 ? paeth() : 0][filter];
      rows[y * stride + i] = (value + predictor) & 0xff;
    }
  }
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
  const chunk = (type, body) => {
    const head = Buffer.alloc(8);
    head.writeUInt32BE(body.length, 0);
    head.write(type, 4, 'latin1');
    const sum = Buffer.alloc(4);
    sum.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), body])), 0);
    return Buffer.concat([head, body, sum]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8);
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header), chunk('IDAT', deflateSync(raw)), chunk('IEND', Buffer.alloc(0))]);
}
