// The WebAssembly module that plays the game: every rule runs there, the deal, the turn, the
// table's steps, its bytes and the names' code page. It asks the page for two things only a
// browser has: the wall clock, for the deal, and Unicode composition, for names.
'use strict';

let engine = null;
// The module's constants: the board's size, the table's bytes and the names of its steps.
let game = null;

function clockTimeGet(clockId, precision, resultAddress) {
  const nanoseconds = BigInt(Date.now()) * 1000000n;
  new DataView(engine.memory.buffer).setBigUint64(resultAddress, nanoseconds, true);
  return 0;
}

const bytesAt = (address, length) => new Uint8Array(engine.memory.buffer, address, length);
const textUnits = () => new Uint16Array(engine.memory.buffer, engine.pelorin_text(), engine.pelorin_text_capacity());

// Text to and from the module's text buffer, as UTF-16 code units.
function putText(text) {
  const units = textUnits();
  const length = Math.min(text.length, units.length);
  for (let i = 0; i < length; ++i) units[i] = text.charCodeAt(i);
  return length;
}
const takeText = (length) => String.fromCharCode(...textUnits().subarray(0, length));

function composeText(address, length) {
  return putText(takeText(length).normalize('NFC'));
}

// The module the page was built with: its address names its bytes, and the browser checks them.
async function loadEngine() {
  const module = document.getElementById('module');
  const response = await fetch(module.href, { integrity: module.dataset.integrity });
  if (!response.ok) throw new Error(`${module.href}: ${response.status}`);
  const bytes = await response.arrayBuffer();
  const imports = { wasi_snapshot_preview1: { clock_time_get: clockTimeGet }, pelorin: { compose: composeText } };
  const { instance } = await WebAssembly.instantiate(bytes, imports);
  engine = instance.exports;
  engine._initialize();
  game = { columns: engine.pelorin_columns(), rows: engine.pelorin_rows(), cellPixels: engine.pelorin_cell_pixels(),
    fileBytes: engine.pelorin_file_bytes(), steps: {} };
  for (const step of ['read', 'create', 'askName', 'lockedRead', 'write', 'done']) {
    game.steps[step] = engine[`pelorin_step_${step}`]();
  }
}
