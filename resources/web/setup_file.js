// The set-up page's parameter file part: the entries the program read, the
// changes waiting for Save, what became of a save, and the tablets allowed.
// The page never reads the file's text: it is sent the entries and asks for
// changes by meaning (add this mapping or board, remove entry N, revoke a
// device); the program writes the lines. The text it is sent is only shown
// back, as the diff of a save refused because the file changed on disk.
'use strict';

// The file's entries as the program read them: {n, keyword, values, line, board}.
const entries = () => (setup.snap && setup.snap.file && setup.snap.file.entries) || [];
const entryText = (e) => [e.keyword].concat(e.values).join(' ');

// What a change adds, as the page lists it.
function changeText(c) {
  if (c.do === 'board') return 'board ' + c.board + ' ' + c.port;
  return [c.type, c.board].concat(c.pins.map(String), [c.control]).join(' ');
}

// A text's lines, for showing only.
function textLines(text) {
  const lines = (text || '').split(/\r?\n/);
  if (lines[lines.length - 1] === '') lines.pop();
  return lines;
}

// `read` is the text the changes were asked against, for a diff should the
// file have changed; `sent`, the pending changes this save carries, dropped
// from the list once it is saved (changes made meanwhile stay).
function saveChanges(changes, sent, revision, read) {
  const f = setup.snap && setup.snap.file;
  if (!f) return;
  if (send({ t: 'save', revision: revision || f.revision, changes })) {
    setup.waiting[setup.waiting.length - 1] = { read: revision ? read : f.text, sent };
  }
}

function savePending() {
  if (setup.adds.length + setup.removals.length === 0) {
    flash('No change to save');
    return;
  }
  // A removal names an entry of the file it was picked in: the save goes
  // against that file, and is refused with the diff should it have changed.
  const first = setup.removals[0];
  const changes = setup.removals.map((r) => ({ do: 'remove', entry: r.n }))
    .concat(setup.adds.map((a) => a.change));
  saveChanges(changes, { adds: setup.adds.slice(), removals: setup.removals.slice() },
              first && first.revision, first && first.read);
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

// Allowing saves the tablet's grant: its outcome shows like a save's.
function allowAsk(id) {
  const f = setup.snap && setup.snap.file;
  if (send({ t: 'allow', id })) setup.waiting[setup.waiting.length - 1] = { read: f ? f.text : '', sent: null };
}

function saveLayout() {
  const f = setup.snap && setup.snap.file;
  if (send({ t: 'layout' })) setup.waiting[setup.waiting.length - 1] = { read: f ? f.text : '', sent: null };
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
      setup.adds = setup.adds.filter((a) => !mine.sent.adds.includes(a));
      setup.removals = setup.removals.filter((r) => !mine.sent.removals.includes(r));
      renderChanges();
      renderLines();
    }
    return;
  }
  if (o.disk) {
    $('diff').textContent = 'What this page read (-) and what is on disk now (+):\n' +
                            diffLines(textLines(mine.read), textLines(o.disk)).join('\n');
    $('diff').hidden = false;
    $('reload').hidden = false;
  } else if (o.line > 0 && o.context && o.context.length) {
    // The lines around the complaint, as the save would have written them.
    o.context.forEach((text, i) => {
      const n = o.from + i;
      ctx.appendChild(el('span', n === o.line ? 'line bad' : 'line', String(n).padStart(4) + '  ' + text + '\n'));
    });
    ctx.hidden = false;
  }
}

function renderChanges() {
  const items = setup.removals.map((r) => ({ key: 'r' + r.revision + ':' + r.n, text: 'remove line ' + r.line + ': ' + r.text, r }))
    .concat(setup.adds.map((a, i) => ({ key: 'a' + i + ':' + a.text, text: 'add: ' + a.text, a, i })));
  keyed($('changes'), items, (c) => c.key, (c) => {
    const li = el('li', 'change');
    li.appendChild(el('span', 'text'));
    li.appendChild(button('Remove', 'remove', () => {
      if (c.r) setup.removals = setup.removals.filter((r) => r !== c.r);
      else setup.adds = setup.adds.filter((a) => a !== c.a);
      renderChanges();
      renderLines();
    }));
    return li;
  }, (li, c) => {
    li.dataset.index = c.r ? '' : String(c.i);
    li.firstChild.textContent = c.text;
  });
  $('no-changes').hidden = items.length > 0;
  $('save').disabled = items.length === 0;
}

// A removal picked in an earlier read of the file still holds where the
// same entry stands at the same place: it moves on to this read. Any other
// stays with its read, and its save is refused with the diff.
function rebaseRemovals(f) {
  for (const r of setup.removals) {
    const e = r.revision === f.revision ? null : entries().find((x) => x.n === r.n);
    if (e && entryText(e) === r.text) Object.assign(r, { revision: f.revision, read: f.text });
  }
}

// The board lines: the entries the program marks as such.
function renderLines() {
  const f = setup.snap && setup.snap.file;
  if (!f) return;
  rebaseRemovals(f);
  const lines = entries().filter((e) => e.board).map((e) => ({ n: e.n, line: e.line, text: entryText(e) }));
  keyed($('lines'), lines, (x) => x.n + ':' + x.text, (x) => {
    const li = el('li', 'line');
    li.dataset.line = x.line;
    li.appendChild(el('code', '', x.text));
    li.appendChild(button('Remove', 'remove', () => {
      // The row outlives a reload that left its entry as it was.
      const f = setup.snap.file;
      if (!setup.removals.some((r) => r.n === x.n && r.revision === f.revision)) {
        setup.removals.push({ n: x.n, line: x.line, text: x.text, revision: f.revision, read: f.text });
      }
      renderChanges();
      renderLines();
    }));
    return li;
  }, (li, x) => {
    const going = setup.removals.some((r) => r.n === x.n && r.revision === f.revision);
    li.classList.toggle('going', going);
    li.querySelector('.remove').disabled = going;
  });
  $('no-lines').hidden = lines.length > 0;
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
  // The grants in effect, as the program holds them.
  const control = s.control || [];
  keyed($('control'), control, (r) => r, (r) => {
    const li = el('li');
    li.dataset.range = r;
    li.appendChild(el('code', '', r));
    li.appendChild(button('Remove', 'remove', () => saveChanges([{ do: 'revoke', range: r }], null)));
    return li;
  }, () => {});
  $('no-control').hidden = control.length > 0;
}
