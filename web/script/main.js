// The main window's controls wired to the game.
const panelScore = byId('panelScore');

function showScore() {
  panelScore.textContent = String(engine.pelorin_score());
  byId('boardScore').textContent = `${panelScore.title}: ${panelScore.textContent}`;
}

async function release(event) {
  const [pixelX, pixelY] = boardPixel(event);
  if (!engine.pelorin_release(pixelX, pixelY)) return;
  drawBoard();
  showScore();
  if (engine.pelorin_game_over()) {
    await recordScore();
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

// What the window says in place of the board when the game cannot start.
const kNoWebAssembly = 'Tento prohlížeč neumí WebAssembly, a proto hru nespustí.';
const kNoModule = 'Hru se nepodařilo načíst. Zkuste stránku načíst znovu.';
const kNoStart = 'Hru se nepodařilo spustit. Zkuste stránku načíst znovu.';

function fail(message) {
  canvas.hidden = true;
  const notice = byId('failure');
  notice.textContent = message;
  notice.hidden = false;
}

async function play() {
  if (typeof WebAssembly !== 'object') return fail(kNoWebAssembly);
  const loaded = loadEngine().then(() => true, () => false);
  try {
    const [moduleLoaded, loadedPictures] = await Promise.all([loaded, loadPictures()]);
    if (!moduleLoaded) return fail(kNoModule);
    pictures = loadedPictures;
    engine.pelorin_new_game();
    fitWindow();
    showScore();
    watchReleases(release);
    byId('btnNovaHra').addEventListener('click', newGame);
    byId('btnNejlepsiSkore').addEventListener('click', showScores);
    byId('btnKonec').addEventListener('click', quit);
    byId('jmenoEdit1').addEventListener('input', keepNameCharacters);
    document.documentElement.dataset.ready = 'true';
  } catch {
    fail(kNoStart);
  }
}

// The window's frame first, then the game; then the release kept for playing offline where
// the browser can. A worker that fails to load or to keep the files changes nothing here.
async function start() {
  fitWindow();
  followScreen();
  await play();
  navigator.serviceWorker?.register('service-worker.js').catch(() => {});
}

start();
