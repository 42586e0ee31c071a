// The panels as the program's dialog templates draw them: shared by the
// panels page (app.js) and the set-up page (setup.js). Each page hands in
// what a tap does and where the controls are kept.
'use strict';

function place(el, c, dx, dy) {
  el.style.setProperty('--x', c.x + dx);
  el.style.setProperty('--y', c.y + dy);
  el.style.setProperty('--w', c.w);
  el.style.setProperty('--h', c.h);
}

function arrowButton(c, delta, cls, label, act) {
  const b = document.createElement('button');
  b.type = 'button';
  b.className = 'arrow ' + cls;
  b.setAttribute('aria-label', label);
  b.dataset.delta = delta;
  b.addEventListener('click', () => act({ t: 'delta', id: c.id, delta }, c));
  return b;
}

// act(frame, c): what a tap on the control does; controls: id -> {el, kind},
// filled with every control that has an id.
function buildControl(c, panelName, dx, dy, act, controls) {
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
      el.addEventListener('click', () => act({ t: 'cmd', id: c.id }, c));
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
      el.addEventListener('click', () => act({ t: 'cmd', id: c.id }, c));
      break;
    case 'updown':
      el = document.createElement('div');
      el.className = 'c updown ' + (c.horizontal ? 'horizontal' : 'vertical');
      el.setAttribute('role', 'group');
      // The platform's convention: up (or right) is -1, down (or left) +1.
      if (c.horizontal) {
        el.append(arrowButton(c, 1, 'left', 'decrease', act), arrowButton(c, -1, 'right', 'increase', act));
      } else {
        el.append(arrowButton(c, -1, 'up', 'up', act), arrowButton(c, 1, 'down', 'down', act));
      }
      break;
    case 'button':
      el = document.createElement('button');
      el.type = 'button';
      el.className = 'c push';
      el.textContent = c.text || '';
      el.addEventListener('click', () => act({ t: 'cmd', id: c.id }, c));
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
    controls.set(c.id, { el, kind: c.kind });
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

// The sheet of panels for a layout (layoutOf): every panel's frame and
// controls at their places, in dialog units.
function drawSheet(templates, layout, act, controls) {
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
      const el = buildControl(Object.assign({}, c), owner, b.x, b.y, act, controls);
      if (el) sheet.appendChild(el);
    }
  }
  return sheet;
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
