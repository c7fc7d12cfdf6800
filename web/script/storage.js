// The table in the browser's storage for the page's origin: the score file's bytes as one
// record of an IndexedDB store, and the Web Lock that the origin's pages take to record. Each
// step reports to the module what it found or whether what it stored was committed.
const kStorageKey = 'pelorin.sco';

let database = null;
function openDatabase() {
  database ??= new Promise((resolve) => {
    try {
      const request = window.indexedDB.open('pelorin', 1);
      request.onupgradeneeded = () => request.result.createObjectStore('tables');
      request.onsuccess = () => {
        // A newer page that changes the database's version waits for no tab of this one.
        request.result.onversionchange = () => {
          request.result.close();
          database = null;
        };
        resolve(request.result);
      };
      request.onerror = () => resolve(null);
    } catch {
      resolve(null);
    }
  });
  return database;
}

// Runs `work` on the store in one read-write transaction; resolves to whether it committed.
async function inTransaction(work) {
  const store = await openDatabase();
  if (!store) return false;
  return new Promise((resolve) => {
    try {
      const transaction = store.transaction('tables', 'readwrite');
      transaction.oncomplete = () => resolve(true);
      transaction.onabort = () => resolve(false);
      work(transaction.objectStore('tables'));
    } catch {
      resolve(false);
    }
  });
}

const bytesToStore = () => bytesAt(engine.pelorin_bytes_to_store(), game.fileBytes).slice();

// What is stored: nothing, bytes of any length, or something else, which is left alone.
function reportStored(stored) {
  if (stored === undefined) return engine.pelorin_found_nothing();
  if (!(stored instanceof Uint8Array)) return engine.pelorin_found_unreadable();
  const length = Math.min(stored.length, game.fileBytes);
  bytesAt(engine.pelorin_stored_bytes(), length).set(stored.subarray(0, length));
  return engine.pelorin_found(length);
}

// The module asks to write only right after a read under the lock: the write joins the read's
// transaction, so that a page without Web Locks still records atomically.
async function readStored() {
  let reported = false;
  let writing = false;
  const committed = await inTransaction((tables) => {
    const request = tables.get(kStorageKey);
    request.onsuccess = () => {
      reported = true;
      reportStored(request.result);
      writing = engine.pelorin_step() === game.steps.write;
      if (writing) tables.put(bytesToStore(), kStorageKey);
    };
  });
  if (!reported) engine.pelorin_found_unreadable();
  if (writing) engine.pelorin_written(committed);
}

// Stores the first table where nothing is stored yet; a table another page stored first stays.
async function createStored() {
  let exists = false;
  const committed = await inTransaction((tables) => {
    const request = tables.add(bytesToStore(), kStorageKey);
    request.onerror = () => { exists = request.error?.name === 'ConstraintError'; };
  });
  engine.pelorin_created(committed || exists);
}

// Pages of this origin record one at a time. Resolves, once the lock is held, to its release.
function takeLock() {
  if (!navigator.locks) return Promise.resolve(() => {});
  return new Promise((held) => {
    navigator.locks.request(kStorageKey, () => new Promise((release) => held(release)));
  });
}
