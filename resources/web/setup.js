// The set-up page: boards, Learn, saving the parameter file, tablets. Live
// from /setup/socket; the panel picture is drawn by sheet.js as on the
// panels page. Learn is setup_learn.js, the file and the tablets
// setup_file.js; this part holds the page's state, the boards and the socket.
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

const setup = {
  socket: null,
  open: false,
  snap: null,            // the last setup frame
  names: new Map(),      // control id -> {panel, name, kind}
  templates: null,
  picture: new Map(),    // control id -> {el, kind} in the panel picture
  drawnFor: '',          // the board the picture was drawn for
  pick: null,            // {type, pins: [..]}: what a tap on the panel assigns
  adds: [],              // pending additions, in order: {change, text}
  removals: [],          // pending removals: {n, line, text, revision, read}
  waiting: [],           // kinds of the frames sent, until posted/refused
  mine: new Map(),       // posted save id -> {read, sent}
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
      if (name) saveChanges([{ do: 'board', board: name, port: f.port }], null);
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

function render() {
  $('state').textContent = setup.open ? 'connected' : 'program unreachable';
  $('state').className = setup.open ? 'good' : 'bad';
  document.body.classList.toggle('offline', !setup.open);
  const s = setup.snap;
  if (!s) return;
  renderBoards(s);
  renderLearn(s);
  renderLines();  // first: it moves pending removals on to this read
  renderChanges();
  renderTablets(s);
  $('file-path').textContent = s.file && s.file.path ? 'to ' + s.file.path : '';
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
  $('layout').addEventListener('click', saveLayout);
  $('deny-all').addEventListener('click', () => send({ t: 'denyall' }));
  $('identify').addEventListener('click', identify);
  $('out-pins').addEventListener('keydown', (ev) => { if (ev.key === 'Enter') identify(); });
  $('done').addEventListener('click', () => send({ t: 'unlearn' }));
  window.addEventListener('resize', fitPicture);
  render();
  connect();
}

start();
