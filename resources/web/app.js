// The panels in a browser: drawn from the program's dialog templates, filled
// from its WebSocket, and honest about how old what they show is.
'use strict';

const STALE_AGE = 2;          // seconds of silence from the DB node, until the program says its own
const LINK_SILENCE_MS = 2500; // no link frame for this long: the server is not telling us
// A link line this much later than the most timely one of its socket was
// read late (a tablet that slept, a network that stalled): what came with it
// is the past, and a new socket brings the present.
const LATE_MS = 2000;
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
  connection: null,     // keepConnected's, for dropping a socket read late
  open: false,          // hello and snapshot received on the current socket
  control: false,
  canAsk: false,        // the program takes asks for control (it has a set-up page)
  setup: false,         // the set-up page is open to this browser
  askCode: '',          // the code of this browser's pending ask
  link: null,           // the last link frame
  linkAt: 0,            // when it was sent, by this page's clock (ms)
  skew: null,           // least (page clock - program clock) of this socket's link lines
  shift: false,
};

const $ = (id) => document.getElementById(id);

// The panel the address names ("/radios"), as the templates name them.
function wantedPanel(templates) {
  const name = location.pathname.replace(/^\/+|\/+$/g, '');
  return (templates.panels || []).some((p) => p.name === name) ? name : null;
}

// ---- drawing ---------------------------------------------------------

function draw(templates) {
  const only = wantedPanel(templates);
  const layout = layoutOf(templates, only);
  const main = $('panels');
  main.textContent = '';
  state.controls.clear();
  const sheet = drawSheet(templates, layout, send, state.controls);
  main.appendChild(sheet);
  main.setAttribute('aria-busy', 'false');
  document.title = layout.title ? layout.title + ' - OrvSim Control' : 'OrvSim Control';
  state.layout = layout;
  $('shift').hidden = ![...state.controls.values()].some((x) => x.el.classList.contains('shiftable'));
  for (const [id, v] of state.values) show(id, v[0], v[1]);
  fit();
  render();
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
  showBanner(why);
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

// ---- the connection ----------------------------------------------------

function connect() {
  state.connection = keepConnected('/ws', {
    connecting() {
      state.open = false;
      render();
    },
    templates(text) {
      if (text !== state.templatesText) {
        state.templatesText = text;
        draw(JSON.parse(text));
      }
    },
    opened,
    lost() {
      state.socket = null;
      state.open = false;
      state.link = null;  // what comes next is told by the next program
      render();
    },
  });
}

function opened(ws) {
  state.socket = ws;
  let hello = false;
  let openedAt = 0;
  state.skew = null;
  const frame = (m) => {
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
        if (hello && !state.open) openedAt = Date.now();
        state.open = hello;
        break;
      case 'batch':
        // One refresh cycle's changes at once.
        for (const [id, text, checked] of m.values || []) note(id, text, checked);
        break;
      case 'link': {
        // Older programs send no clock: their lines count as read at once.
        const skew = typeof m.at === 'number' ? Date.now() - m.at : 0;
        if (state.skew === null || skew < state.skew) state.skew = skew;
        const late = skew - state.skew;
        state.link = m;
        state.linkAt = Date.now() - late;
        if (late > LATE_MS) {
          state.connection.drop(ws);
          return;
        }
        break;
      }
      case 'refused':
        flash('Refused: ' + m.why);
        return;
      default:
        return;
    }
    render();
  };
  // A socket that had been open a while is replaced at once; one that
  // failed soon is tried again after a pause.
  const pause = () => (state.open && Date.now() - openedAt > RECONNECT_MS ? 0 : RECONNECT_MS);
  return { frame, pause };
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
  notice.show = render;
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
