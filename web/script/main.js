// The main window's controls wired to the game.
const panelScore = byId('panelScore');

function showScore() {
  panelScore.textContent = String(engine.pelorin_score());
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

async function start() {
  [pictures] = await Promise.all([loadPictures(), loadEngine()]);
  engine.pelorin_new_game();
  fitWindow();
  window.addEventListener('resize', fitWindow);
  canvas.addEventListener('pointerup', release);
  canvas.addEventListener('pointerdown', (event) => event.preventDefault());
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  byId('btnNovaHra').addEventListener('click', newGame);
  byId('btnNejlepsiSkore').addEventListener('click', showScores);
  byId('btnKonec').addEventListener('click', quit);
  byId('jmenoEdit1').addEventListener('input', keepNameCharacters);
  document.documentElement.dataset.ready = 'true';
}

start();
