// The WebAssembly core, in its worker (stringart.js): it traces every figure, checks every
// address and figures file, names figures and scales them down. The page's thread never traces,
// so that it stays free for the visitor; should the core abort, startCore starts another.

const kNoDownload = 'The page could not download its drawing engine. Check the connection and reload the page.';
export class CoreFailed extends Error {}
let worker = null;
let compiled = null;  // the core's WebAssembly module, compiled once for every worker
// What the core can do here: Variations' strengths (subtle, wild, to start with), whether the
// worker hands anti-aliased pictures to the canvas and encodes them as PNG.
export const engine = {strengths: [0.005, 0.5, 0.05], drawsSmooth: false, drawsLarge: false};
let nextId = 0;
const answers = new Map();  // what each question waits for, by its id
const later = [];  // questions that wait until the worker has nothing else to do
let asking = 0;  // questions the worker has not answered yet

export const running = () => worker !== null;

const progress = new Map();  // what hears how far each long question has got, by its id

function post(question, transfer = [], hear = null) {
  const id = ++nextId;
  ++asking;
  if (hear) progress.set(id, hear);
  return new Promise((resolve) => {
    answers.set(id, resolve);
    worker.postMessage({id, ...question}, transfer);
  }).then((answer) => {
    progress.delete(id);
    --asking;
    pump();
    if (answer.failed !== undefined) throw new CoreFailed(answer.failed);
    return answer;
  });
}
// Asks the core at once; resolves to its answer, throws CoreFailed when it aborted.
export const ask = (question) => post(question);
// Asks the core for something that takes long: `hear(fraction)` hears how far it has got. Returns
// the answer's promise and what stops it (the answer is then {cancelled: true}).
export function askLong(question, hear) {
  const answer = post(question, [], hear);
  const id = nextId;
  return {answer, cancel: () => worker?.postMessage({id: ++nextId, op: 'cancel', target: id})};
}
// Asks the core when it is idle: tiles wait behind whatever the visitor asked for. `waiting` is
// {question, resolve, reject}; its question may change until it is asked.
export function queue(waiting) {
  later.push(waiting);
  pump();
}
export const isQueued = (waiting) => later.includes(waiting);
export const askLater = (question) => new Promise((resolve, reject) => queue({question, resolve, reject}));
function pump() {
  if (asking || !later.length || !worker) return;
  const {question, resolve, reject} = later.shift();
  post(question).then(resolve, reject);
}

// Starts a core; resolves to '' or to what keeps it from starting, in the visitor's words.
export async function startCore() {
  worker?.terminate();
  worker = null;
  answers.forEach((resolve) => resolve({failed: 'stopped'}));
  answers.clear();
  if (location.protocol === 'file:') {
    return 'This page was opened as a file, and browsers do not let a file load the drawing ' +
           'engine it needs. Open it from a web server instead: tools/web.sh serve, then ' +
           'http://127.0.0.1:8000/.';
  }
  if (typeof WebAssembly !== 'object' || typeof Worker !== 'function') {
    return 'This browser cannot run WebAssembly, which the page draws with, or has it turned ' +
           'off. Open the page in a current Firefox, Chrome, Safari or Edge.';
  }
  // The worker's script downloads while the core compiles.
  worker = new Worker('stringart.js');
  let unloaded = false;
  worker.onmessage = ({data}) => {
    if (data.progress !== undefined) {
      progress.get(data.id)?.(data.progress);
      return;
    }
    const resolve = answers.get(data.id);
    answers.delete(data.id);
    resolve?.(data);
  };
  // The script missing, or broken: every question still waiting fails.
  worker.onerror = (event) => {
    event.preventDefault();
    unloaded = true;
    answers.forEach((resolve) => resolve({failed: 'load'}));
    answers.clear();
  };
  try {
    if (!compiled) {
      // Matches the preload in index.html, so that the core is fetched once.
      const response = await fetch('stringart.wasm', {credentials: 'same-origin', mode: 'cors'});
      if (!response.ok) return kNoDownload;
      compiled = await WebAssembly.compile(await response.arrayBuffer());
    }
  } catch (error) {
    return error instanceof TypeError ? kNoDownload : `The drawing engine could not start in this browser (${error}).`;
  }
  if (unloaded) return kNoDownload;
  asking = 0;
  try {
    const started = await ask({op: 'start', module: compiled, seed: [...crypto.getRandomValues(new Uint32Array(2))]});
    engine.strengths = started.strengths;
    engine.drawsSmooth = started.smooth;
    engine.drawsLarge = started.large;
  } catch (error) {
    return error.message === 'load' ? kNoDownload : `The drawing engine could not start in this browser (${error.message}).`;
  }
  return '';
}
