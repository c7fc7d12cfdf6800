// The window and its board: the board drawn on a canvas from the ball pictures with a whole
// number of device pixels per picture pixel, the window and its dialogs fitted to the screen
// and centred, the pixel of the board image under a pointer, and which releases are turns.
const byId = (id) => document.getElementById(id);
const canvas = byId('imgHra');

let pictures = [];
let devicePixelsPerPicturePixel = 1;

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

const loadPictures = () => Promise.all(['imgPrazdna', 'imgZluta', 'imgModra', 'imgHneda'].map(loadPicture));

// The board is drawn by the processor (`willReadFrequently`), not the graphics card: an
// accelerated canvas is a compositing layer of its own and takes the scaled window along into
// one, which WebKit draws at one device pixel per CSS pixel and then stretches, so that the
// window's texts and lines come out blurred at every scale above one.
function drawBoard() {
  const context = canvas.getContext('2d', { willReadFrequently: true });
  context.imageSmoothingEnabled = false;
  const cells = bytesAt(engine.pelorin_board(), game.columns * game.rows);
  const side = game.cellPixels * devicePixelsPerPicturePixel;
  for (let y = 0; y < game.rows; ++y) {
    for (let x = 0; x < game.columns; ++x) {
      const picture = pictures[cells[y * game.columns + x]];
      if (picture) context.drawImage(picture, x * side, y * side, side, side);
    }
  }
}

// The screen in device pixels, as the page is laid out on it.
function screenSize() {
  const ratio = window.devicePixelRatio || 1;
  const root = document.documentElement;
  return { ratio, width: root.clientWidth * ratio, height: root.clientHeight * ratio };
}

// Device pixels per layout pixel for a box of `width` x `height` layout pixels: the largest
// whole number at which it fits the screen, or, on a screen too small for one, the fraction
// that fits it.
function fittingScale(width, height, screen) {
  const fit = Math.min(screen.width / width, screen.height / height);
  return fit < 1 ? fit : Math.floor(fit + 1 / 1024);
}

// Shows `element` at `scale` device pixels per layout pixel, centred on the screen with its
// corner on a device pixel; returns where its bottom edge falls, in CSS pixels. The offset is
// part of the transform: a layout position would be rounded to a 64th of a CSS pixel.
function placeCentred(element, scale, screen) {
  const [width, height] = [element.offsetWidth * scale, element.offsetHeight * scale];
  const left = Math.max(0, Math.floor((screen.width - width) / 2)) / screen.ratio;
  const top = Math.max(0, Math.floor((screen.height - height) / 2)) / screen.ratio;
  Object.assign(element.style, { left: '0', top: '0', right: 'auto', bottom: 'auto', margin: '0',
    transform: `translate(${left}px, ${top}px) scale(${scale / screen.ratio})` });
  return top + height / screen.ratio;
}

// The window's scale, which its dialogs share where they fit the screen at it.
let windowScale = 1;
function placeDialog(dialog) {
  const screen = screenSize();
  placeCentred(dialog, Math.min(windowScale, fittingScale(dialog.offsetWidth, dialog.offsetHeight, screen)), screen);
}

// The window keeps its layout and scales as one, texts and controls alike, at the largest
// whole number of device pixels per layout pixel that fits, and so does the board's picture.
// Held upright, a screen that would show it larger turned says so under it.
function fitWindow() {
  const frame = byId('frmMain');
  const screen = screenSize();
  windowScale = fittingScale(frame.offsetWidth, frame.offsetHeight, screen);
  const bottom = placeCentred(frame, windowScale, screen);
  document.querySelectorAll('dialog[open]').forEach(placeDialog);
  const turned = fittingScale(frame.offsetWidth, frame.offsetHeight, { width: screen.height, height: screen.width });
  const hint = byId('turnHint');
  hint.hidden = !(screen.height > screen.width && turned > windowScale);
  hint.style.top = `${bottom}px`;
  devicePixelsPerPicturePixel = Math.max(1, Math.floor(windowScale));
  if (engine) {
    canvas.width = game.columns * game.cellPixels * devicePixelsPerPicturePixel;
    canvas.height = game.rows * game.cellPixels * devicePixelsPerPicturePixel;
    drawBoard();
  }
}

// Fits the window again whenever the screen changes: a resize, a turn, or another number of
// device pixels per CSS pixel (another monitor, the browser's zoom).
function followScreen() {
  window.addEventListener('resize', fitWindow);
  const watchRatio = () => {
    window.matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`).addEventListener('change', () => {
      fitWindow();
      watchRatio();
    }, { once: true });
  };
  watchRatio();
}

// The pixel of the board image under a pointer: the device pixel it is on, then the picture
// pixel that device pixel shows.
function boardPixel(event) {
  const box = canvas.getBoundingClientRect();
  const ratio = window.devicePixelRatio || 1;
  const across = Math.floor((event.clientX - box.left) * ratio + 1 / 1024);
  const down = Math.floor((event.clientY - box.top) * ratio + 1 / 1024);
  return [Math.floor((across * game.columns * game.cellPixels) / Math.round(box.width * ratio)),
    Math.floor((down * game.rows * game.cellPixels) / Math.round(box.height * ratio))];
}

// Which releases are turns, by the desktop's mouse capture: the control a mouse press began on
// holds the mouse until its last button is up, and a release over the board is a turn only
// while the board holds it, one for each button. A finger or a pen plays where it lifts, if
// it touched down on the board. Releases outside the board play nothing.
const kButtonBits = [1, 4, 2, 8, 16];
let mouseHolder = null;
const pointersOnBoard = new Set();
// The mouse's last pointer event, which comes just before each of its button events, at the
// same place but not cut to whole CSS pixels.
let mousePointer = null;
const finer = (event) => (mousePointer && Math.abs(mousePointer.clientX - event.clientX) < 1 &&
  Math.abs(mousePointer.clientY - event.clientY) < 1 ? mousePointer : event);

function watchReleases(play) {
  for (const type of ['pointerdown', 'pointermove', 'pointerup']) {
    window.addEventListener(type, (event) => {
      if (event.pointerType === 'mouse') mousePointer = event;
    }, true);
  }
  window.addEventListener('mousedown', (event) => {
    if (!mouseHolder || event.buttons === kButtonBits[event.button]) mouseHolder = event.target;
  }, true);
  window.addEventListener('mouseup', (event) => {
    if (!event.buttons) mouseHolder = null;
  });
  canvas.addEventListener('pointerdown', (event) => {
    canvas.setPointerCapture(event.pointerId);
    if (event.pointerType === 'mouse') return;
    event.preventDefault();  // no mouse events after it: the lift is the release
    pointersOnBoard.add(event.pointerId);
  });
  canvas.addEventListener('pointerup', (event) => {
    if (pointersOnBoard.delete(event.pointerId)) play(event);
  });
  canvas.addEventListener('pointercancel', (event) => pointersOnBoard.delete(event.pointerId));
  canvas.addEventListener('mousedown', (event) => event.preventDefault());
  canvas.addEventListener('mouseup', (event) => {
    if (mouseHolder === canvas) play(finer(event));
  });
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
}
