// The page as the game's main window. Every rule runs in the WebAssembly module: the deal, the
// turn, the table's insertion, its bytes and the names' code page. Here are only the window,
// the drawing, the dialogs and the browser's storage.
'use strict';

const kBoardWidth = 400;
const kBoardHeight = 144;
const kWindowWidth = 402;
const kWindowHeight = 201;
const kCellPixels = 16;
const kColumns = 25;
const kRows = 9;
const kTableSize = 220;
const kStorageKey = 'pelorin.sco';
// What a release reports, as the module's bits.
const kPlayed = 1;
const kScored = 2;
const kGameOver = 4;

const byId = (id) => document.getElementById(id);
const canvas = byId('imgHra');
const panelScore = byId('panelScore');

let engine = null;
let pictures = [];
let devicePixelsPerPicturePixel = 1;

// The module needs one thing from its system: the wall clock, for the deal.
function clockTimeGet(clockId, precision, resultAddress) {
  const nanoseconds = BigInt(Date.now()) * 1000000n;
  new DataView(engine.memory.buffer).setBigUint64(resultAddress, nanoseconds, true);
  return 0;
}

async function loadEngine() {
  const bytes = await (await fetch('pelorin.wasm')).arrayBuffer();
  const imports = { wasi_snapshot_preview1: { clock_time_get: clockTimeGet } };
  const { instance } = await WebAssembly.instantiate(bytes, imports);
  engine = instance.exports;
  engine._initialize();
}

// The hidden picture holders of the window, loading since the page was read. Drawing decodes
// them at once; waiting for an asynchronous decode would only delay the first board.
function loadPicture(id) {
  const picture = byId(id);
  if (picture.complete && picture.naturalWidth) return Promise.resolve(picture);
  return new Promise((resolve, reject) => {
    picture.addEventListener('load', () => resolve(picture), { once: true });
    picture.addEventListener('error', reject, { once: true });
  });
}

const bytesAt = (address, length) => new Uint8Array(engine.memory.buffer, address, length);

function drawBoard() {
  const context = canvas.getContext('2d');
  context.imageSmoothingEnabled = false;
  const cells = bytesAt(engine.pelorin_board(), kColumns * kRows);
  const side = kCellPixels * devicePixelsPerPicturePixel;
  for (let y = 0; y < kRows; ++y) {
    for (let x = 0; x < kColumns; ++x) {
      const picture = pictures[cells[y * kColumns + x]];
      if (picture) context.drawImage(picture, x * side, y * side, side, side);
    }
  }
}

// The window keeps its layout and scales as one: the board gets a whole number of device
// pixels per picture pixel, and a screen too narrow for that gets the window fitted to it.
function fitWindow() {
  const ratio = window.devicePixelRatio || 1;
  const available = document.documentElement.clientWidth || kWindowWidth;
  const whole = Math.min(Math.round(ratio), Math.floor((available * ratio) / kWindowWidth));
  devicePixelsPerPicturePixel = Math.max(1, whole);
  const scale = Math.min(devicePixelsPerPicturePixel / ratio, available / kWindowWidth);
  byId('frmMain').style.transform = `scale(${scale})`;
  byId('desk').style.width = `${kWindowWidth * scale}px`;
  byId('desk').style.height = `${kWindowHeight * scale}px`;
  canvas.width = kBoardWidth * devicePixelsPerPicturePixel;
  canvas.height = kBoardHeight * devicePixelsPerPicturePixel;
  drawBoard();
}

// The pixel of the 400 x 144 board image under a pointer: the device pixel it is on, then
// the picture pixel that device pixel shows.
function boardPixel(event) {
  const box = canvas.getBoundingClientRect();
  const ratio = window.devicePixelRatio || 1;
  const across = Math.floor((event.clientX - box.left) * ratio + 1 / 1024);
  const down = Math.floor((event.clientY - box.top) * ratio + 1 / 1024);
  return [Math.floor((across * kBoardWidth) / Math.round(box.width * ratio)),
    Math.floor((down * kBoardHeight) / Math.round(box.height * ratio))];
}

// The table in the browser's storage for the page's origin: the score file's 220 bytes, one
// record of an IndexedDB store. Each read, and each insertion with its write, is one
// transaction: it sees what the store holds, never a copy another page has since outdated.
let database = null;
function openDatabase() {
  database ??= new Promise((resolve) => {
    try {
      const request = window.indexedDB.open('pelorin', 1);
      request.onupgradeneeded = () => request.result.createObjectStore('tables');
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(null);
    } catch {
      resolve(null);
    }
  });
  return database;
}

// Runs `work` on what is stored (undefined when nothing is) in one transaction; bytes that it
// returns replace the stored ones. Resolves to whether the transaction was committed.
async function withStoredTable(work) {
  const store = await openDatabase();
  if (!store) return false;
  return new Promise((resolve) => {
    try {
      const transaction = store.transaction('tables', 'readwrite');
      const tables = transaction.objectStore('tables');
      const request = tables.get(kStorageKey);
      request.onsuccess = () => {
        const replacement = work(request.result);
        if (replacement) tables.put(replacement, kStorageKey);
      };
      transaction.oncomplete = () => resolve(true);
      transaction.onabort = () => resolve(false);
    } catch {
      resolve(false);
    }
  });
}

const tableBytes = () => bytesAt(engine.pelorin_table_bytes(), kTableSize).slice();

// Loads the stored table into the module, a missing one created with the default table, and
// stores it again when `insert` changes it. When nothing can be read the module holds the
// default table and the answer is false; what is stored but is no bytes is left alone.
async function readTable(insert = () => false) {
  let readable = false;
  const committed = await withStoredTable((stored) => {
    if (stored === undefined) {
      engine.pelorin_default_table();
      readable = true;
      return tableBytes();
    }
    if (!(stored instanceof Uint8Array)) return null;
    const length = Math.min(stored.length, kTableSize);
    bytesAt(engine.pelorin_table_bytes(), kTableSize).set(stored.subarray(0, length));
    engine.pelorin_load_table(length);
    readable = true;
    return insert() ? tableBytes() : null;
  });
  if (committed && readable) return true;
  engine.pelorin_default_table();
  return false;
}

// Pages of this origin record one at a time: lock, read again, insert, write.
function underLock(work) {
  return navigator.locks ? navigator.locks.request(kStorageKey, work) : work();
}

function putText(text) {
  const units = new Uint16Array(engine.memory.buffer, engine.pelorin_text(), engine.pelorin_text_capacity());
  const length = Math.min(text.length, units.length);
  for (let i = 0; i < length; ++i) units[i] = text.charCodeAt(i);
  return length;
}

function rowName(row) {
  const length = engine.pelorin_row_name(row);
  return String.fromCharCode(...new Uint16Array(engine.memory.buffer, engine.pelorin_text(), length));
}

function showModal(dialog) {
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(), { once: true });
    dialog.showModal();
  });
}

async function askName(score) {
  byId('jmenoLabel3').textContent = String(score);
  const field = byId('jmenoEdit1');
  await showModal(byId('frmJmeno'));  // however it was closed, the name is taken
  return field.value.normalize('NFC');
}

async function recordScore(score) {
  if (!(await readTable()) || engine.pelorin_place_for(score) < 0) return;
  const name = await askName(score);
  await underLock(() => readTable(() => engine.pelorin_record(score, putText(name)) >= 0));
}

// Names are set as text, never as markup.
async function showScores() {
  await readTable();
  const rows = byId('skoreRows');
  rows.replaceChildren();
  for (let row = 0; row < 10; ++row) {
    const item = document.createElement('li');
    item.style.top = `${8 + 16 * row}px`;
    const name = document.createElement('span');
    name.className = 'name';
    name.textContent = rowName(row);
    const value = document.createElement('span');
    value.className = 'score';
    value.textContent = String(engine.pelorin_row_score(row));
    item.append(name, value);
    rows.append(item);
  }
  return showModal(byId('frmSkore'));
}

function showScore() {
  panelScore.textContent = String(engine.pelorin_score());
}

async function release(event) {
  const [pixelX, pixelY] = boardPixel(event);
  const result = engine.pelorin_release(pixelX, pixelY);
  if (!(result & kPlayed)) return;
  drawBoard();
  if (result & kScored) showScore();
  if (result & kGameOver) {
    await recordScore(engine.pelorin_score());
    await showScores();
  }
}

function newGame() {
  byId('ended').hidden = true;
  canvas.hidden = false;
  engine.pelorin_new_game();
  drawBoard();
  showScore();
}

// A page may close only a tab that a script opened; any other stays, ended, until "Nová hra".
function quit() {
  window.close();
  canvas.hidden = true;
  byId('ended').hidden = false;
}

// The name field takes no control characters, typed or pasted.
function dropControlCharacters(event) {
  const field = event.target;
  const kept = field.value.replace(/[\u0000-\u001f\u007f-\u009f]/g, '');
  if (kept !== field.value) field.value = kept;
}

async function start() {
  [pictures] = await Promise.all([
    Promise.all(['imgPrazdna', 'imgZluta', 'imgModra', 'imgHneda'].map(loadPicture)), loadEngine()]);
  engine.pelorin_new_game();
  fitWindow();
  window.addEventListener('resize', fitWindow);
  canvas.addEventListener('pointerup', release);
  canvas.addEventListener('pointerdown', (event) => event.preventDefault());
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  byId('btnNovaHra').addEventListener('click', newGame);
  byId('btnNejlepsiSkore').addEventListener('click', showScores);
  byId('btnKonec').addEventListener('click', quit);
  byId('jmenoEdit1').addEventListener('input', dropControlCharacters);
  document.documentElement.dataset.ready = 'true';
}

start();
