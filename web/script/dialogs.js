// The table's two dialogs, "Gratulujeme!" and "Tabulka vítězů", and the module's steps of
// keeping the table: each step's storage work, or the name from the dialog.
function showModal(dialog) {
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(), { once: true });
    dialog.showModal();
    placeDialog(dialog);
  });
}

async function askName() {
  byId('jmenoLabel3').textContent = String(engine.pelorin_score());
  await showModal(byId('frmJmeno'));  // however it was closed, the name is taken
  engine.pelorin_named(putText(byId('jmenoEdit1').value));
}

async function keepTable(begin) {
  begin();
  let release = null;
  for (let step = engine.pelorin_step(); step !== game.steps.done; step = engine.pelorin_step()) {
    if (step === game.steps.read) await readStored();
    else if (step === game.steps.create) await createStored();
    else if (step === game.steps.askName) await askName();
    else if (step === game.steps.lockedRead) {
      release ??= await takeLock();
      await readStored();
    } else break;
  }
  release?.();
}

// Names are set as text, never as markup.
async function showScores() {
  await keepTable(engine.pelorin_show_table);
  byId('skoreRows').querySelectorAll('.name').forEach((label, row) => {
    label.textContent = takeText(engine.pelorin_row_name(row));
  });
  byId('skoreRows').querySelectorAll('.score').forEach((label, row) => {
    label.textContent = String(engine.pelorin_row_score(row));
  });
  return showModal(byId('frmSkore'));
}

const recordScore = () => keepTable(engine.pelorin_record_result);

// The name field takes no control characters, typed or pasted.
function keepNameCharacters(event) {
  const field = event.target;
  const kept = takeText(engine.pelorin_keep_name_characters(putText(field.value)));
  if (kept !== field.value) field.value = kept;
}
