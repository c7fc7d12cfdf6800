// The window and its board: the board drawn on a canvas from the ball pictures with a whole
// number of device pixels per picture pixel, the window fitted to the screen, and the pixel of
// the board image under a pointer.
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

function drawBoard() {
  const context = canvas.getContext('2d');
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

// The window keeps its layout and scales as one: the board gets a whole number of device
// pixels per picture pixel, and a screen too narrow for that gets the window fitted to it.
function fitWindow() {
  const frame = byId('frmMain');
  const ratio = window.devicePixelRatio || 1;
  const available = document.documentElement.clientWidth || frame.offsetWidth;
  const whole = Math.min(Math.round(ratio), Math.floor((available * ratio) / frame.offsetWidth));
  devicePixelsPerPicturePixel = Math.max(1, whole);
  const scale = Math.min(devicePixelsPerPicturePixel / ratio, available / frame.offsetWidth);
  frame.style.transform = `scale(${scale})`;
  byId('desk').style.width = `${frame.offsetWidth * scale}px`;
  byId('desk').style.height = `${frame.offsetHeight * scale}px`;
  canvas.width = game.columns * game.cellPixels * devicePixelsPerPicturePixel;
  canvas.height = game.rows * game.cellPixels * devicePixelsPerPicturePixel;
  drawBoard();
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
