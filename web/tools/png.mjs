// PNG files taken apart and put together, pixel for pixel: what the build's icons and the
// page's tests both need, and no more.
const kSignature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

// The chunks of a PNG file by type; the bodies of a repeated type (IDAT) joined in order.
export function pngChunks(png) {
  const found = {};
  for (let offset = kSignature.length; offset < png.length;) {
    const length = png.readUInt32BE(offset);
    const type = png.toString('latin1', offset + 4, offset + 8);
    found[type] = Buffer.concat([found[type] ?? Buffer.alloc(0), png.subarray(offset + 8, offset + 8 + length)]);
    offset += 12 + length;
  }
  return found;
}

// The rows of an inflated image without their filters: `height` rows of `stride` bytes, the
// left neighbour of a byte `step` bytes before it (a whole pixel, or one byte below 8 bits).
export function unfilteredRows(raw, stride, height, step) {
  const bytes = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; ++i) {
      const left = i >= step ? bytes[y * stride + i - step] : 0;
      const up = y > 0 ? bytes[(y - 1) * stride + i] : 0;
      const upLeft = y > 0 && i >= step ? bytes[(y - 1) * stride + i - step] : 0;
      let predictor = [0, left, up, (left + up) >> 1][filter];
      if (filter === 4) {
        const p = left + up - upLeft;
        const [a, b, c] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
        predictor = a <= b && a <= c ? left : b <= c ? up : upLeft;
      }
      bytes[y * stride + i] = (raw[y * (stride + 1) + 1 + i] + predictor) & 0xff;
    }
  }
  return bytes;
}

// Node has a CRC-32 of its own only from version 20.15; Debian 12's is 18.
const kCrcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) crc = kCrcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

// A PNG file of one image, not interlaced: its header, then `chunks` ([type, body] pairs, the
// image data among them), then the end.
export function pngFile(width, height, depth, colourType, chunks) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([depth, colourType], 8);
  const chunk = ([type, body]) => {
    const typed = Buffer.concat([Buffer.from(type, 'latin1'), body]);
    const length = Buffer.alloc(4);
    length.writeUInt32BE(body.length);
    const check = Buffer.alloc(4);
    check.writeUInt32BE(crc32(typed));
    return Buffer.concat([length, typed, check]);
  };
  return Buffer.concat([kSignature, ...[['IHDR', header], ...chunks, ['IEND', Buffer.alloc(0)]].map(chunk)]);
}
