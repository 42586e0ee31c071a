// The set-up page's Learn: the pins a board's inputs report, picking one,
// and the panel picture whose tap assigns the pick to a control. What a tap
// assigns waits among the pending changes (setup_file.js) until Save.
'use strict';

// Which control kinds (the names frame's) each pick may drive.
const FITS = {
  button: ['button', 'check'],
  switch: ['check'],
  encoder: ['stepper'],
  led: ['check'],
  display: ['field'],
};

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
  const change = { do: 'map', type: pick.type, board: setup.snap.learn.board, pins: pick.pins.slice(), control: n.name };
  const line = changeText(change);
  if (!setup.adds.some((a) => a.text === line)) setup.adds.push({ change, text: line });
  setup.pick = null;
  const waiting = setup.adds.length + setup.removals.length;
  $('picked').textContent = 'Added: ' + line + ' (' + waiting + (waiting === 1 ? ' change' : ' changes') + ' to save)';
  $('picked').classList.remove('on');
  markFits();
  renderChanges();
  renderLearn(setup.snap);
}

function identify() {
  const pins = $('out-pins').value.trim().split(/\s+/).filter((w) => w !== '').map(Number);
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

