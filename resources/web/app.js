// The panels in a browser: drawn from the program's dialog templates, filled
// from its WebSocket, and honest about how old what they show is.
'use strict';

const STALE_AGE = 2;          // seconds of silence from the DB node, until the program says its own
const LINK_SILENCE_MS = 2500; // no link frame for this long: the server is not telling us
const RECONNECT_MS = 2000;
const LOST_TEXT = 'Connection to the program lost - reconnecting';
// A dialog unit is about 0.93 as tall as it is wide in the window's font;
// rows may close up to 0.8 of it so that a tablet shows the whole window.
const UNIT_ASPECT = 0.93;
const MIN_ASPECT = 0.8;
const MAX_UNIT_PX = 3.4;      // beyond this a desktop only gets emptier
const MAX_STRETCH = 3.2;      // rows at most this much taller than the proportion (a phone in portrait)
const BAND_PX = 52;           // the tallest the STALE band is on one line

const state = {
  layout: null,         // what is drawn: {w, h, blocks: [{panel, x, y}]}
  templatesText: '',
  controls: new Map(),  // id -> {el, kind}
  values: new Map(),    // id -> [text, checked]: the last snapshot and changes
  socket: null,
  open: false,          // hello and snapshot received on the current socket
  control: false,
  canAsk: false,        // the program takes asks for control (it has a set-up page)
  setup: false,         // the set-up page is open to this browser
  askCode: '',          // the code of this browser's pending ask
  link: null,           // the last link frame
  linkAt: 0,            // when it came (ms)
  shift: false,
};

const $ = (id) => document.getElementById(id);

// The panel the address names ("/radios"), as the templates name them.
function wantedPanel(templates) {
  const name = location.pathname.replace(/^\/+|\/+$/g, '');
  return (templates.panels || []).some((p) => p.name === name) ? name : null;
}

// ---- drawing ---------------------------------------------------------

function place(el, c, dx, dy) {
  el.style.setProperty('--x', c.x + dx);
  el.style.setProperty('--y', c.y + dy);
  el.style.setProperty('--w', c.w);
  el.style.setProperty('--h', c.h);
}

function arrowButton(c, delta, cls, label) {
  const b = document.createElement('button');
  b.type = 'button';
  b.className = 'arrow ' + cls;
  b.setAttribute('aria-label', label);
  b.dataset.delta = delta;
  b.addEventListener('click', () => send({ t: 'delta', id: c.id, delta }, c));
  return b;
}

function buildControl(c, panelName, dx, dy) {
  let el;
  switch (c.kind) {
    case 'group':
      el = document.createElement('fieldset');
      el.className = 'c group';
      el.appendChild(document.createElement('legend')).textContent = c.text;
      break;
    case 'label':
    case 'value':
      el = document.createElement('div');
      el.className = 'c ' + c.kind + (c.border ? ' border' : '');
      el.textContent = c.text || '';
      break;
    case 'notify':
      el = document.createElement('button');
      el.type = 'button';
      el.className = 'c value notify' + (c.border ? ' border' : '');
      el.textContent = c.text || '';
      el.addEventListener('click', () => send({ t: 'cmd', id: c.id }, c));
      break;
    case 'check':
      el = document.createElement('button');
      el.type = 'button';
      el.className = 'c check';
      el.setAttribute('role', 'checkbox');
      el.setAttribute('aria-checked', 'false');
      el.appendChild(document.createElement('span')).className = 'text';
      el.appendChild(document.createElement('span')).className = 'box';
      el.firstChild.textContent = c.text || '';
      el.addEventListener('click', () => send({ t: 'cmd', id: c.id }, c));
      break;
    case 'updown':
      el = document.createElement('div');
      el.className = 'c updown ' + (c.horizontal ? 'horizontal' : 'vertical');
      el.setAttribute('role', 'group');
      // The platform's convention: up (or right) is -1, down (or left) +1.
      if (c.horizontal) {
        el.append(arrowButton(c, 1, 'left', 'decrease'), arrowButton(c, -1, 'right', 'increase'));
      } else {
        el.append(arrowButton(c, -1, 'up', 'up'), arrowButton(c, 1, 'down', 'down'));
      }
      break;
    case 'button':
      el = document.createElement('button');
      el.type = 'button';
      el.className = 'c push';
      el.textContent = c.text || '';
      el.addEventListener('click', () => send({ t: 'cmd', id: c.id }, c));
      break;
    default:
      return null;
  }
  if (c.align) el.classList.add('align-' + c.align);
  place(el, c, dx, dy);
  c.panel = panelName;
  c.shift = c.shift === true;  // a stepper that Shift multiplies, as the templates say
  if (c.id !== -1) {
    el.id = 'c' + c.id;
    el.dataset.kind = c.kind;
    if (c.shift) el.classList.add('shiftable');
    state.controls.set(c.id, { el, kind: c.kind });
  }
  return el;
}

// The page's layout: one panel, or every panel where the combined window
// puts it. A server that sends the combined window's own controls gets
// them drawn as they are.
function layoutOf(templates, only) {
  const panels = templates.panels || [];
  if (only) {
    const p = panels.find((q) => q.name === only);
    if (p) return { w: p.w, h: p.h, title: p.title, blocks: [{ panel: p, x: 0, y: 0, framed: true }] };
  }
  const combined = templates.combined || {};
  if (Array.isArray(combined.controls)) {
    const panel = { name: combined.name || 'combined', title: 'OrvSim Control', controls: combined.controls };
    return { w: combined.w, h: combined.h, blocks: [{ panel, x: 0, y: 0, framed: false }] };
  }
  const where = combined.place || {};
  const blocks = panels.map((p, i) => {
    const at = where[p.name] || [0, i * p.h];
    return { panel: p, x: at[0], y: at[1], framed: true };
  });
  // The panels keep their places relative to each other; the room the
  // combined window gives to what the panel templates lack (the ADF rows)
  // would be an empty band on a tablet.
  return { w: squeeze(blocks, 'x', 'w'), h: squeeze(blocks, 'y', 'h'), blocks };
}

// Closes every empty band across the blocks to GAP dialog units; returns the
// new extent along that axis.
function squeeze(blocks, at, size) {
  const GAP = 4;
  const spans = blocks.map((b) => [b[at], b[at] + b.panel[size]]).sort((a, b) => a[0] - b[0]);
  const cuts = [];  // [where, how much] for each band closed
  let end = 0;
  for (const [from, to] of spans) {
    if (from - end > GAP) cuts.push([from, from - end - GAP]);
    end = Math.max(end, to);
  }
  const shift = (p) => cuts.reduce((sum, [where, by]) => sum + (p >= where ? by : 0), 0);
  for (const b of blocks) b[at] -= shift(b[at]);
  return end - shift(end) + GAP;
}

function draw(templates) {
  const only = wantedPanel(templates);
  const layout = layoutOf(templates, only);
  const main = $('panels');
  main.textContent = '';
  state.controls.clear();
  const sheet = document.createElement('div');
  sheet.className = 'sheet';
  sheet.style.setProperty('--sw', layout.w);
  sheet.style.setProperty('--sh', layout.h);
  for (const b of layout.blocks) {
    // Panels that name their controls' panel for the server; the combined
    // window's own controls name the panel that owns them.
    const name = b.panel.name;
    if (b.framed) {
      const frame = document.createElement('section');
      frame.className = 'c panel';
      frame.setAttribute('aria-label', b.panel.title);
      place(frame, { x: 0, y: 0, w: b.panel.w, h: b.panel.h }, b.x, b.y);
      frame.appendChild(document.createElement('h2')).textContent = b.panel.title;
      sheet.appendChild(frame);
    }
    for (const c of b.panel.controls || []) {
      if (c.hidden || c.visible === false) continue;  // as the window: not shown
      const owner = c.panel || ownerOf(templates, c.id) || name;
      const el = buildControl(Object.assign({}, c), owner, b.x, b.y);
      if (el) sheet.appendChild(el);
    }
  }
  main.appendChild(sheet);
  main.setAttribute('aria-busy', 'false');
  document.title = layout.title ? layout.title + ' - OrvSim Control' : 'OrvSim Control';
  state.layout = layout;
  $('shift').hidden = ![...state.controls.values()].some((x) => x.el.classList.contains('shiftable'));
  for (const [id, v] of state.values) show(id, v[0], v[1]);
  fit();
  render();
}

// Which of the four panels holds a control id: the server takes commands
// per panel, and ids are unique across them.
function ownerOf(templates, id) {
  if (id === -1) return null;
  for (const p of templates.panels || []) {
    if ((p.controls || []).some((c) => c.id === id)) return p.name;
  }
  return null;
}

// Dialog units scale with the page's width, and shrink until the sheet fits
// the height too: no scroll bars. Spare height (a phone in portrait) goes to
// taller rows: bigger targets, the panel filling the screen.
function fit() {
  if (!state.layout) return;
  const main = $('panels');
  const pad = getComputedStyle(main);
  // Below the link line and the band, when shown.
  const room = window.innerHeight - main.getBoundingClientRect().top -
               parseFloat(pad.paddingTop) - parseFloat(pad.paddingBottom);
  // The band comes and goes with the link: the letters are sized as if it
  // were always there, so that only the rows give way to it.
  const band = $('banner').hidden ? 0 : $('banner').offsetHeight;
  const letters = room + band - Math.max(band, BAND_PX);
  const { w, h } = state.layout;
  const unit = Math.max(0.1, Math.min(main.clientWidth / w, MAX_UNIT_PX, letters / (h * MIN_ASPECT)));
  const spare = room / h;
  const v = spare < unit * UNIT_ASPECT ? Math.max(unit * MIN_ASPECT, spare)
                                       : Math.min(spare, unit * MAX_STRETCH);
  // Rounded down: rounding up would overflow the height by a fraction of a pixel.
  const down = (x) => (Math.floor(x * 1e4) / 1e4).toFixed(4);
  const root = document.documentElement.style;
  root.setProperty('--u', down(unit));
  root.setProperty('--v', down(v));
  spreadTargets();
}

// Every tap area reaches out to 40 CSS pixels around its control, into the
// room it has: where two would overlap, they share the room between the two
// controls half and half.
function spreadTargets() {
  const MIN = 40;
  const items = [...document.querySelectorAll('.sheet button')].map((el) => {
    const r = el.getBoundingClientRect();
    const dx = Math.max(0, MIN - r.width), dy = Math.max(0, MIN - r.height);
    return { el, r, h: { left: r.left - dx, right: r.right + dx, top: r.top - dy, bottom: r.bottom + dy } };
  });
  const cut = (h, lo, hi, aFrom, aTo, bFrom, bTo) => {
    if (aTo <= bFrom) h[hi] = Math.min(h[hi], (aTo + bFrom) / 2);
    else if (bTo <= aFrom) h[lo] = Math.max(h[lo], (bTo + aFrom) / 2);
  };
  for (const a of items) {
    for (const b of items) {
      const h = a.h, o = b.h;
      if (a === b || h.right <= o.left || o.right <= h.left || h.bottom <= o.top || o.bottom <= h.top) continue;
      const gapX = Math.max(b.r.left - a.r.right, a.r.left - b.r.right);
      const gapY = Math.max(b.r.top - a.r.bottom, a.r.top - b.r.bottom);
      if (gapX >= gapY) cut(h, 'left', 'right', a.r.left, a.r.right, b.r.left, b.r.right);
      else cut(h, 'top', 'bottom', a.r.top, a.r.bottom, b.r.top, b.r.bottom);
    }
  }
  // What room is left on both sides: MIN pixels of it, centred on the
  // control as far as the room allows.
  const fit1 = (h, lo, hi, from, to) => {
    const want = Math.max(MIN, to - from);
    if (h[hi] - h[lo] <= want) return;
    const start = Math.min(Math.max((from + to - want) / 2, h[lo]), h[hi] - want);
    h[lo] = start;
    h[hi] = start + want;
  };
  for (const { el, r, h } of items) {
    fit1(h, 'left', 'right', r.left, r.right);
    fit1(h, 'top', 'bottom', r.top, r.bottom);
    const s = el.style;
    s.setProperty('--hx', (h.left - r.left - el.clientLeft) + 'px');
    s.setProperty('--hy', (h.top - r.top - el.clientTop) + 'px');
    s.setProperty('--hw', (h.right - h.left) + 'px');
    s.setProperty('--hh', (h.bottom - h.top) + 'px');
  }
}

// ---- values ----------------------------------------------------------

function show(id, text, checked) {
  const entry = state.controls.get(id);
  if (!entry) return;
  const { el, kind } = entry;
  if (kind === 'check') {
    el.setAttribute('aria-checked', checked ? 'true' : 'false');
    if (text) el.firstChild.textContent = text;
  } else if (kind === 'button') {
    if (text) el.textContent = text;
  } else if (kind !== 'updown') {
    el.textContent = text;
  }
}

function note(id, text, checked) {
  state.values.set(id, [text, checked]);
  show(id, text, checked);
}

// ---- link line and staleness -----------------------------------------

function linkAge() {
  const l = state.link;
  if (!l || l.age === null || l.age === undefined) return null;
  return l.age + (Date.now() - state.linkAt) / 1000;
}

// The silence the program calls stale: learned from the node's own pace.
function staleAfter() {
  const l = state.link;
  return l && typeof l.stale === 'number' ? l.stale : STALE_AGE;
}

function isStale() {
  const l = state.link;
  if (!state.open || !l || !l.connected) return true;
  if (Date.now() - state.linkAt > LINK_SILENCE_MS) return true;
  const age = linkAge();
  return age === null || age > staleAfter();
}

function render() {
  const l = state.link;
  const age = linkAge();
  $('node').textContent = 'DB node: ' + (l && l.node ? l.node : 'none');
  const stale = isStale();
  // The only live region: written only when the state changes, so a screen
  // reader announces changes, not every second's new age.
  const word = !state.open ? 'program unreachable' : !(l && l.connected) ? 'searching'
                                                   : stale ? 'stale' : 'connected';
  if ($('state').textContent !== word) $('state').textContent = word;
  $('state').className = word === 'connected' ? 'good' : 'bad';
  $('age').textContent = (age === null ? 'no datagram yet' : 'last datagram ' + age.toFixed(1) + ' s ago') +
                         ', stale after ' + staleAfter().toFixed(1) + ' s';
  $('access').textContent = !state.open ? '' : state.control ? 'control' : 'read-only';
  $('ask').hidden = !state.open || state.control || !state.canAsk;
  $('askcode').hidden = $('ask').hidden || state.askCode === '';
  $('askcode').textContent = state.askCode === '' ? '' : 'code ' + state.askCode;
  $('setuplink').hidden = !state.open || !state.setup;
  document.body.classList.toggle('stale', stale);
  document.body.classList.toggle('readonly', !state.control);
  $('panels').dataset.stale = stale ? 'true' : 'false';
  let why = '';
  if (!state.open) why = LOST_TEXT;
  else if (stale) why = age === null ? 'STALE - no data from the DB node'
                                     : 'STALE - last data ' + age.toFixed(1) + ' s ago';
  else if (Date.now() < state.flashUntil) why = state.flashText;
  const banner = $('banner');
  banner.hidden = why === '';
  banner.textContent = why;
  for (const { el, kind } of state.controls.values()) {
    if (kind === 'value' || kind === 'label') continue;
    const buttons = kind === 'updown' ? el.querySelectorAll('button') : [el];
    for (const b of buttons) b.disabled = !state.open || !state.control;
  }
}

// ---- commands --------------------------------------------------------

function send(frame, c) {
  if (!state.open || !state.control || !state.socket) return;
  frame.panel = c.panel;
  frame.shift = state.shift && c.shift;
  state.socket.send(JSON.stringify(frame));
}

// A notice such as a refusal stays up for FLASH_MS, through the renders of
// every change and second in between.
const FLASH_MS = 3000;

function flash(text) {
  state.flashText = text;
  state.flashUntil = Date.now() + FLASH_MS;
  render();
  setTimeout(render, FLASH_MS + 50);
}

// ---- the connection ----------------------------------------------------

async function loadTemplates() {
  const r = await fetch('/templates.json', { cache: 'no-store' });
  if (!r.ok) throw new Error('templates: ' + r.status);
  const text = await r.text();
  if (text !== state.templatesText) {
    state.templatesText = text;
    draw(JSON.parse(text));
  }
}

function connect() {
  state.open = false;
  render();
  loadTemplates().then(openSocket, () => setTimeout(connect, RECONNECT_MS));
}

function openSocket() {
  const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
  const ws = new WebSocket(scheme + location.host + '/ws');
  state.socket = ws;
  let hello = false;
  ws.onmessage = (ev) => {
    let m;
    try { m = JSON.parse(ev.data); } catch (e) { return; }
    switch (m.t) {
      case 'hello':
        hello = true;
        state.control = m.control === true;
        state.canAsk = typeof m.setup === 'boolean';
        state.setup = m.setup === true;
        state.askCode = '';
        break;
      case 'control':
        // Allowed or taken back on the set-up page: no reload needed.
        state.control = m.on === true;
        state.askCode = '';
        flash(state.control ? 'Control allowed' : 'Control taken back');
        return;
      case 'asked':
        state.askCode = typeof m.code === 'string' ? m.code : '';
        break;
      case 'snapshot':
        // Everything starts again from here: nothing kept from before.
        state.values.clear();
        for (const [id, text, checked] of m.values || []) note(id, text, checked);
        state.open = hello;
        break;
      case 'change':
        note(m.id, m.text, m.checked);
        break;
      case 'batch':
        // One refresh cycle's changes at once.
        for (const [id, text, checked] of m.values || []) note(id, text, checked);
        break;
      case 'link':
        state.link = m;
        state.linkAt = Date.now();
        break;
      case 'refused':
        flash('Refused: ' + m.why);
        return;
      default:
        return;
    }
    render();
  };
  ws.onclose = () => {
    if (state.socket !== ws) return;
    state.socket = null;
    state.open = false;
    state.link = null;  // what comes next is told by the next program
    render();
    setTimeout(connect, RECONNECT_MS);
  };
  ws.onerror = () => ws.close();
}

// ---- the screen --------------------------------------------------------

let wakeLock = null;
async function keepAwake() {
  if (!('wakeLock' in navigator) || document.visibilityState !== 'visible' || wakeLock) return;
  try {
    wakeLock = await navigator.wakeLock.request('screen');
    wakeLock.addEventListener('release', () => { wakeLock = null; });
  } catch (e) {
    wakeLock = null;  // refused (battery saver, not a secure context): the screen may sleep
  }
}

function setUp() {
  $('shift').addEventListener('click', () => {
    state.shift = !state.shift;
    $('shift').setAttribute('aria-pressed', state.shift ? 'true' : 'false');
    document.body.classList.toggle('shifted', state.shift);
  });
  $('ask').addEventListener('click', () => {
    if (state.open && state.socket) state.socket.send(JSON.stringify({ t: 'ask' }));
  });
  const fs = $('fullscreen');
  if (!document.fullscreenEnabled) fs.hidden = true;
  fs.addEventListener('click', () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  });
  window.addEventListener('resize', fit);
  // The link line wraps as its texts change, and the band comes and goes:
  // the sheet fits the room they leave.
  if ('ResizeObserver' in window) {
    const watch = new ResizeObserver(fit);
    watch.observe($('linkline'));
    watch.observe($('banner'));
  }
  document.addEventListener('visibilitychange', keepAwake);
  document.addEventListener('pointerdown', keepAwake);
  setInterval(render, 1000);
  keepAwake();
  connect();
}

setUp();
