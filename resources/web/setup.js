// The set-up page: boards, Learn, saving the parameter file, tablets. Live
// from /setup/socket; the panel picture is drawn by sheet.js as on the
// panels page.
//
// Hooks for a browser test (stable):
//   #find, #finding, #found tr.found[data-port] (input.new-name, button.name, button.add)
//   #boards tr.board[data-board], button#learn-<board>
//   #learn (shown while a board learns), #pins tr.pin[data-pin] (click picks it),
//   #out-pins, #identify, #picked, #done
//   #picture .control[data-id] (data-name; class "fits" when a tap assigns, "dimmed" otherwise)
//   #changes li.change[data-index] button.remove, #save
//   #outcome[data-ok], #outcome-text, #context (line.bad marks the message's line), #diff, #reload
//   #lines li.line[data-line] button.remove (a file line to remove)
//   #asks tr.ask[data-ask] button.allow / button.deny, #deny-all, #control li[data-range] button.remove, #layout
//   #state: "connected" or "program unreachable"
'use strict';

const FLASH_MS = 4000;
const BOARD_KEYWORDS = ['board', 'button', 'switch', 'encoder', 'led', 'display'];
// Which control kinds (the names frame's) each pick may drive.
const FITS = {
  button: ['button', 'check'],
  switch: ['check'],
  encoder: ['stepper'],
  led: ['check'],
  display: ['field'],
};

const setup = {
  socket: null,
  open: false,
  snap: null,            // the last setup frame
  names: new Map(),      // control id -> {panel, name, kind}
  templates: null,
  picture: new Map(),    // control id -> {el, kind} in the panel picture
  drawnFor: '',          // the board the picture was drawn for
  pick: null,            // {type, pins: [..]}: what a tap on the panel assigns
  adds: [],              // pending lines to add, in order
  removals: [],          // pending removals: {line, expected}
  waiting: [],           // kinds of the frames sent, until posted/refused
  mine: new Map(),       // posted save id -> {read, result, sent}
  shownOutcome: 0,
};

const $ = (id) => document.getElementById(id);

function el(tag, cls, text) {
  const e = document.createElement(tag);
  if (cls) e.className = cls;
  if (text !== undefined) e.textContent = text;
  return e;
}

function button(text, cls, onClick) {
  const b = el('button', cls, text);
  b.type = 'button';
  b.addEventListener('click', onClick);
  return b;
}

// Rows kept by key across frames, so that a half-typed name survives the
// next frame: make(item) builds a row once, fill(row, item) updates it.
function keyed(parent, items, key, make, fill) {
  const old = new Map();
  for (const row of [...parent.children]) old.set(row.dataset.key, row);
  let at = 0;
  for (const item of items) {
    const k = String(key(item));
    let row = old.get(k);
    if (row) old.delete(k);
    else {
      row = make(item);
      row.dataset.key = k;
    }
    fill(row, item);
    if (parent.children[at] !== row) parent.insertBefore(row, parent.children[at] || null);
    at++;
  }
  for (const row of old.values()) row.remove();
}

function cells(row, texts) {
  while (row.children.length < texts.length) row.appendChild(el('td'));
  texts.forEach((t, i) => { if (row.children[i].textContent !== t) row.children[i].textContent = t; });
}

// ---- sending ---------------------------------------------------------

function send(frame) {
  if (!setup.open || !setup.socket) {
    flash('Not connected to the program');
    return false;
  }
  setup.waiting.push(frame.t);
  setup.socket.send(JSON.stringify(frame));
  return true;
}

// ---- the file --------------------------------------------------------

function fileLines() {
  const f = setup.snap && setup.snap.file;
  if (!f || !f.text) return [];
  const lines = f.text.split(/\r?\n/);
  if (lines[lines.length - 1] === '') lines.pop();
  return lines;
}

const words = (line) => line.trim().split(/\s+/).filter((w) => w !== '');

// The file as the program would write it after these edits: a line
// replaced, removed (text ""), or added at the end (line 0).
function afterEdits(lines, edits) {
  const out = lines.slice();
  for (const e of edits) if (e.line > 0 && e.line <= out.length) out[e.line - 1] = e.text === '' ? null : e.text;
  return out.filter((x) => x !== null).concat(edits.filter((e) => e.line === 0).map((e) => e.text));
}

// sent: the pending changes this save carries, dropped from the list once
// it is saved (changes made meanwhile stay).
function saveEdits(edits, sent) {
  const f = setup.snap && setup.snap.file;
  if (!f) return;
  const read = fileLines();
  if (send({ t: 'save', revision: f.revision, edits })) {
    setup.waiting[setup.waiting.length - 1] = { read, result: afterEdits(read, edits), sent };
  }
}

function savePending() {
  if (setup.adds.length + setup.removals.length === 0) {
    flash('No change to save');
    return;
  }
  const edits = setup.removals.map((r) => ({ line: r.line, expected: r.expected, text: '' }))
    .concat(setup.adds.map((text) => ({ line: 0, expected: '', text })));
  saveEdits(edits, { adds: setup.adds.slice(), removals: setup.removals.slice() });
}

// A plain line diff (longest common subsequence): files are a few hundred
// lines at most.
function diffLines(a, b) {
  const n = a.length, m = b.length;
  const len = Array.from({ length: n + 1 }, () => new Array(m + 1).fill(0));
  for (let i = n - 1; i >= 0; i--) {
    for (let j = m - 1; j >= 0; j--) {
      len[i][j] = a[i] === b[j] ? len[i + 1][j + 1] + 1 : Math.max(len[i + 1][j], len[i][j + 1]);
    }
  }
  const out = [];
  let i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && a[i] === b[j]) { out.push('  ' + a[i]); i++; j++; }
    else if (j < m && (i === n || len[i][j + 1] > len[i + 1][j])) out.push('+ ' + b[j++]);
    else out.push('- ' + a[i++]);
  }
  return out;
}

// Allowing saves the tablet's webcontrol line: its outcome shows like a save's.
function allowAsk(id) {
  const read = fileLines();
  if (send({ t: 'allow', id })) setup.waiting[setup.waiting.length - 1] = { read, result: null, sent: null };
}

function showOutcome(o, mine) {
  const box = $('outcome');
  box.hidden = false;
  box.dataset.ok = o.ok ? 'true' : 'false';
  $('outcome-text').textContent = o.ok ? (o.message || 'Saved.') : (o.message || 'Not saved.');
  const ctx = $('context');
  ctx.textContent = '';
  ctx.hidden = true;
  $('diff').hidden = true;
  $('reload').hidden = true;
  if (o.ok) {
    if (mine.sent) {
      for (const line of mine.sent.adds) {
        const at = setup.adds.indexOf(line);
        if (at >= 0) setup.adds.splice(at, 1);
      }
      setup.removals = setup.removals.filter((r) => !mine.sent.removals.includes(r));
      renderChanges();
      renderLines();
    }
    return;
  }
  if (o.disk) {
    const disk = o.disk.split(/\r?\n/);
    if (disk[disk.length - 1] === '') disk.pop();
    $('diff').textContent = 'What this page read (-) and what is on disk now (+):\n' +
                            diffLines(mine.read || [], disk).join('\n');
    $('diff').hidden = false;
    $('reload').hidden = false;
  } else if (o.line > 0) {
    // The lines around the complaint, as the save would have written them.
    const lines = mine.result || mine.read || [];
    const from = Math.max(1, o.line - 3), to = Math.min(lines.length, o.line + 3);
    for (let n = from; n <= to; n++) {
      const row = el('span', n === o.line ? 'line bad' : 'line', String(n).padStart(4) + '  ' + lines[n - 1] + '\n');
      ctx.appendChild(row);
    }
    ctx.hidden = false;
  }
}

// ---- drawing the snapshot --------------------------------------------

function renderBoards(s) {
  const body = $('boards').tBodies[0];
  keyed(body, s.boards || [], (b) => b.name, (b) => {
    const tr = el('tr', 'board');
    tr.dataset.board = b.name;
    cells(tr, ['', '', '', '', '', '']);
    const td = el('td');
    const learn = button('Learn', 'learn', () => send({ t: 'learn', board: b.name }));
    learn.id = 'learn-' + b.name;
    td.appendChild(learn);
    tr.appendChild(td);
    return tr;
  }, (tr, b) => {
    cells(tr, [b.name, b.port, b.state, b.version ? String(b.version) : '-',
               b.bad >= 0 ? String(b.bad) : '-', b.last || '-']);
    tr.children[2].className = b.state === 'connected' ? 'good' : b.state === 'learning' ? '' : 'bad';
    tr.querySelector('.learn').disabled = !!(s.learn && s.learn.board);
  });
  $('no-boards').hidden = (s.boards || []).length > 0;
  $('finding').hidden = !s.finding;
  $('find').disabled = !!s.finding;
  const found = s.found || [];
  $('found').hidden = found.length === 0;
  const known = new Set((s.boards || []).map((b) => b.name));
  keyed($('found').tBodies[0], found, (f) => f.port, (f) => {
    const tr = el('tr', 'found');
    tr.dataset.port = f.port;
    cells(tr, ['', '', '']);
    const input = el('input', 'new-name');
    input.autocomplete = 'off';
    input.maxLength = 16;
    input.placeholder = 'a-z 0-9 _ -';
    input.setAttribute('aria-label', 'New name for the board on ' + f.port);
    const nameTd = el('td');
    nameTd.append(input, button('Name', 'name', () => {
      const name = input.value.trim();
      if (!/^[a-z0-9_-]{1,16}$/.test(name)) {
        flash('A name is 1 to 16 of a-z, 0-9, _ and -');
        return;
      }
      send({ t: 'name', port: f.port, name });
    }));
    const addTd = el('td');
    addTd.appendChild(button('Add', 'add', () => {
      const name = tr.dataset.name;
      if (name) saveEdits([{ line: 0, expected: '', text: 'board ' + name + ' ' + f.port }], null);
    }));
    tr.append(nameTd, addTd);
    return tr;
  }, (tr, f) => {
    cells(tr, [f.port, f.state, f.name || '-']);
    const named = f.state === 'board' && f.name && f.name !== '-';
    tr.dataset.name = named ? f.name : '';
    tr.querySelector('.name').disabled = f.state !== 'board';
    tr.querySelector('.new-name').disabled = f.state !== 'board';
    const add = tr.querySelector('.add');
    add.disabled = !named || known.has(f.name) || /\s/.test(f.port);
    add.title = !named ? 'Name the board first' : known.has(f.name) ? 'Already in the file' : '';
  });
}

// An encoder's pins as the line takes them, A first: A is the pin that
// closed first as the builder turned it clockwise.
function encoderPins(p) {
  return p.a === false ? [p.pair, p.pin] : [p.pin, p.pair];
}

function offerText(p) {
  if (p.offer === 'encoder') return 'encoder ' + encoderPins(p).join('+');
  return p.offer || '-';
}

function pickOf(p) {
  if (p.offer === 'encoder' && p.pair) return { type: 'encoder', pins: encoderPins(p) };
  if (p.offer === 'button' || p.offer === 'switch') return { type: p.offer, pins: [p.pin] };
  return null;
}

function renderLearn(s) {
  const l = s.learn || {};
  const on = !!l.board;
  $('learn').hidden = !on;
  if (!on) {
    setup.pick = null;
    setup.drawnFor = '';
    return;
  }
  $('learning-board').textContent = l.board;
  $('learning-status').textContent = l.status || '';
  keyed($('pins').tBodies[0], l.pins || [], (p) => p.pin, (p) => {
    const tr = el('tr', 'pin');
    tr.dataset.pin = p.pin;
    tr.tabIndex = 0;
    const choose = () => {
      const pick = pickOf(tr.pinState);
      if (!pick) {
        flash('Pin ' + p.pin + ': work it until the page can tell what it is');
        return;
      }
      setPick(pick);
    };
    tr.addEventListener('click', choose);
    tr.addEventListener('keydown', (ev) => { if (ev.key === 'Enter' || ev.key === ' ') choose(); });
    return tr;
  }, (tr, p) => {
    tr.pinState = p;
    cells(tr, [String(p.pin), p.closed ? 'closed' : 'open', String(p.changes), offerText(p)]);
    tr.classList.toggle('closed', !!p.closed);
    tr.classList.toggle('ready', !!pickOf(p));
    const picked = setup.pick && setup.pick.type !== 'led' && setup.pick.type !== 'display' &&
                   setup.pick.pins[0] === p.pin;
    tr.classList.toggle('picked', !!picked);
  });
  const un = l.unwatched || [];
  $('unwatched').hidden = un.length === 0;
  $('unwatched').textContent = 'Not watched (the board refused): pins ' + un.join(', ');
  if (setup.drawnFor !== l.board) drawPicture();
}

function renderChanges() {
  const items = setup.removals.map((r) => ({ key: 'r' + r.line, text: 'remove line ' + r.line + ': ' + r.expected, r }))
    .concat(setup.adds.map((text, i) => ({ key: 'a' + i + ':' + text, text: 'add: ' + text, i })));
  keyed($('changes'), items, (c) => c.key, (c) => {
    const li = el('li', 'change');
    li.appendChild(el('span', 'text'));
    li.appendChild(button('Remove', 'remove', () => {
      if (c.r) setup.removals = setup.removals.filter((r) => r !== c.r);
      else if (setup.adds.includes(li.dataset.text)) setup.adds.splice(setup.adds.indexOf(li.dataset.text), 1);
      renderChanges();
      renderLines();
    }));
    return li;
  }, (li, c) => {
    li.dataset.index = c.r ? '' : String(c.i);
    li.dataset.text = c.r ? '' : setup.adds[c.i];
    li.firstChild.textContent = c.text;
  });
  $('no-changes').hidden = items.length > 0;
  $('save').disabled = items.length === 0;
}

function renderLines() {
  const lines = fileLines().map((text, i) => ({ text, line: i + 1 }))
    .filter((x) => BOARD_KEYWORDS.includes((words(x.text)[0] || '').toLowerCase()));
  keyed($('lines'), lines, (x) => x.line + ':' + x.text, (x) => {
    const li = el('li', 'line');
    li.dataset.line = x.line;
    li.appendChild(el('code', '', x.text));
    li.appendChild(button('Remove', 'remove', () => {
      if (!setup.removals.some((r) => r.line === x.line)) setup.removals.push({ line: x.line, expected: x.text });
      renderChanges();
      renderLines();
    }));
    return li;
  }, (li, x) => {
    const going = setup.removals.some((r) => r.line === x.line && r.expected === x.text);
    li.classList.toggle('going', going);
    li.querySelector('.remove').disabled = going;
  });
  $('no-lines').hidden = lines.length > 0;
}

// The file line (and the pair in it) that gives a `webcontrol` range.
function controlLine(range) {
  const lines = fileLines();
  for (let i = 0; i < lines.length; i++) {
    const w = words(lines[i]);
    for (let k = 0; k + 1 < w.length; k += 2) {
      if (w[k].startsWith('//')) break;
      const v = w[k + 1].includes('/') ? w[k + 1] : w[k + 1] + '/32';
      if (w[k].toLowerCase() === 'webcontrol' && v === range) {
        const rest = w.slice(0, k).concat(w.slice(k + 2));
        return { line: i + 1, expected: lines[i], text: rest.join(' ') };
      }
    }
  }
  return null;
}

function renderTablets(s) {
  const asks = s.asks || [];
  keyed($('asks').tBodies[0], asks, (a) => a.id, (a) => {
    const tr = el('tr', 'ask');
    tr.dataset.ask = a.id;
    cells(tr, ['', '', '']);
    const td = el('td');
    td.append(button('Allow', 'allow', () => allowAsk(a.id)),
              button('Deny', 'deny', () => send({ t: 'deny', id: a.id })));
    tr.appendChild(td);
    return tr;
  }, (tr, a) => cells(tr, [a.address, a.code, Math.round(a.age) + ' s']));
  $('asks').hidden = asks.length === 0;
  $('no-asks').hidden = asks.length > 0;
  $('deny-all-row').hidden = asks.length === 0;
  const control = s.control || [];
  keyed($('control'), control, (r) => r, (r) => {
    const li = el('li');
    li.dataset.range = r;
    li.appendChild(el('code', '', r));
    li.appendChild(button('Remove', 'remove', () => {
      const at = controlLine(r);
      if (!at) {
        flash('No webcontrol line gives ' + r + ' in the file');
        return;
      }
      saveEdits([{ line: at.line, expected: at.expected, text: at.text }], null);
    }));
    return li;
  }, () => {});
  $('no-control').hidden = control.length > 0;
}

function render() {
  $('state').textContent = setup.open ? 'connected' : 'program unreachable';
  $('state').className = setup.open ? 'good' : 'bad';
  document.body.classList.toggle('offline', !setup.open);
  const s = setup.snap;
  if (!s) return;
  renderBoards(s);
  renderLearn(s);
  renderChanges();
  renderLines();
  renderTablets(s);
  $('file-path').textContent = s.file && s.file.path ? 'to ' + s.file.path : '';
}

// ---- Learn: picking and the panel picture ------------------------------

function setPick(pick) {
  setup.pick = pick;
  const t = pick.type;
  $('picked').textContent = t === 'encoder' ? 'Encoder A ' + pick.pins[0] + ', B ' + pick.pins[1]
    : t === 'display' ? 'Display DIN ' + pick.pins[0] + ' CLK ' + pick.pins[1] + ' CS ' + pick.pins[2]
    : t[0].toUpperCase() + t.slice(1) + ' on pin ' + pick.pins[0];
  $('picked').textContent += ': tap a highlighted control.';
  $('picked').classList.add('on');
  markFits();
  if (setup.snap) renderLearn(setup.snap);
}

function markFits() {
  const fits = setup.pick ? FITS[setup.pick.type] : [];
  for (const [id, { el: e }] of setup.picture) {
    const n = setup.names.get(id);
    // Before a pick, only what no board line can name is dimmed.
    const ok = !!n && fits.includes(n.kind);
    e.classList.toggle('fits', ok);
    e.classList.toggle('dimmed', setup.pick ? !ok : !n);
  }
}

function assign(c) {
  const n = setup.names.get(c.id);
  const pick = setup.pick;
  if (!n || !pick || !FITS[pick.type].includes(n.kind)) return;
  const board = setup.snap.learn.board;
  const line = [pick.type, board].concat(pick.pins.map(String), [n.name]).join(' ');
  if (!setup.adds.includes(line)) setup.adds.push(line);
  setup.pick = null;
  const waiting = setup.adds.length + setup.removals.length;
  $('picked').textContent = 'Added: ' + line + ' (' + waiting + (waiting === 1 ? ' change' : ' changes') + ' to save)';
  $('picked').classList.remove('on');
  markFits();
  renderChanges();
  renderLearn(setup.snap);
}

function identify() {
  const pins = words($('out-pins').value).map(Number);
  if (!(pins.length === 1 || pins.length === 3) || pins.some((p) => !Number.isInteger(p) || p < 2 || p > 69)) {
    flash('One pin for an LED, three (DIN CLK CS) for a display');
    return;
  }
  const board = setup.snap && setup.snap.learn && setup.snap.learn.board;
  if (!board) return;
  if (send({ t: 'identify', board, pins })) setPick({ type: pins.length === 1 ? 'led' : 'display', pins });
}

function drawPicture() {
  const box = $('picture');
  if (!setup.templates || !setup.snap) return;
  setup.drawnFor = setup.snap.learn.board;
  box.textContent = '';
  setup.picture.clear();
  const layout = layoutOf(setup.templates, null);
  const sheet = drawSheet(setup.templates, layout, (frame, c) => assign(c), setup.picture);
  for (const [id, { el: e }] of setup.picture) {
    const n = setup.names.get(id);
    e.classList.add('control');
    e.dataset.id = id;
    if (n) {
      e.dataset.name = n.name;
      e.title = n.name;
    }
  }
  box.appendChild(sheet);
  box.layout = layout;
  fitPicture();
  markFits();
}

// The picture takes its box's width, and no more height than the window.
function fitPicture() {
  const box = $('picture');
  const layout = box.layout;
  if (!layout || $('learn').hidden) return;
  const width = box.clientWidth;
  const height = window.innerHeight - 150;  // the bar and the box title above it
  const unit = Math.max(0.5, Math.min(width / layout.w, height / (layout.h * 0.93), 3.4));
  box.style.setProperty('--u', unit.toFixed(4));
  box.style.setProperty('--v', (unit * 0.93).toFixed(4));
  spreadTargets();
}

// ---- the connection ----------------------------------------------------

function connect() {
  keepConnected('/setup/socket', {
    templates(text) {
      setup.templates = JSON.parse(text);
      setup.drawnFor = '';
    },
    opened(ws) {
      setup.socket = ws;
      // Request ids are the program's: a restarted one counts from 1 again.
      setup.waiting = [];
      setup.mine.clear();
      return { frame: onFrame };
    },
    lost() {
      setup.socket = null;
      setup.open = false;
      notice.show();
      render();
    },
  });
}

function onFrame(m) {
  switch (m.t) {
    case 'setup':
      setup.open = true;
      notice.show();
      setup.snap = m;
      break;
    case 'names':
      setup.names.clear();
      for (const c of m.controls || []) setup.names.set(c.id, c);
      setup.drawnFor = '';  // drawn again with the names
      break;
    case 'posted': {
      const w = setup.waiting.shift();
      if (w && typeof w === 'object') setup.mine.set(m.id, w);
      return;
    }
    case 'refused':
      setup.waiting.shift();
      flash('Refused: ' + m.why);
      return;
    case 'outcome': {
      // Only this page's own requests are answered here, each once.
      const mine = setup.mine.get(m.request);
      if (!mine) return;
      setup.mine.delete(m.request);
      setup.shownOutcome = m.request;
      showOutcome(m, mine);
      break;
    }
    default:
      return;
  }
  render();
}

function start() {
  notice.ms = FLASH_MS;
  notice.show = () => showBanner(setup.open ? '' : LOST_TEXT);
  $('find').addEventListener('click', () => send({ t: 'find' }));
  $('save').addEventListener('click', savePending);
  $('reload').addEventListener('click', () => {
    if (send({ t: 'reload' })) $('outcome').hidden = true;
  });
  $('layout').addEventListener('click', () => {
    // Its outcome shows like a save's.
    if (send({ t: 'layout' })) setup.waiting[setup.waiting.length - 1] = { read: fileLines(), result: null, sent: null };
  });
  $('deny-all').addEventListener('click', () => send({ t: 'denyall' }));
  $('identify').addEventListener('click', identify);
  $('out-pins').addEventListener('keydown', (ev) => { if (ev.key === 'Enter') identify(); });
  $('done').addEventListener('click', () => send({ t: 'unlearn' }));
  window.addEventListener('resize', fitPicture);
  render();
  connect();
}

start();
