// What both pages do with the program: fetch its templates, keep one socket
// to it open (another after each loss) and show short notices in the band
// under the bar. Loaded before the page's own script.
'use strict';

const RECONNECT_MS = 2000;
const LOST_TEXT = 'Connection to the program lost - reconnecting';

// The band's short notice (a refusal, control given or taken back): up for
// `ms` through the renders in between. `show` is the page's, redrawing the
// band; it calls showBanner.
const notice = { text: '', until: 0, ms: 3000, show: () => showBanner('') };

function flash(text) {
  notice.text = text;
  notice.until = Date.now() + notice.ms;
  notice.show();
  setTimeout(() => notice.show(), notice.ms + 50);
}

// What stands (the program lost, stale data) goes before a notice.
function showBanner(standing) {
  const why = standing || (Date.now() < notice.until ? notice.text : '');
  const band = document.getElementById('banner');
  band.hidden = why === '';
  band.textContent = why;
}

// Fetched afresh before each socket: a restarted program may bring others.
async function fetchTemplates() {
  const r = await fetch('/templates.json', { cache: 'no-store' });
  if (!r.ok) throw new Error('templates: ' + r.status);
  return r.text();
}

// Keeps a socket to `path` open, the templates fetched before each one.
//   page.connecting()  optional, before each try
//   page.templates(text)  the templates; throwing tries again later
//   page.opened(ws)  a new socket; gives {frame(m), pause()}: its frames
//                    (what is not JSON is dropped) and, optional, how long
//                    to wait once it has closed (RECONNECT_MS otherwise)
//   page.lost(ws)  it closed, or was dropped
// Returns {drop(ws)}: a socket given up on is closed and replaced at once.
function keepConnected(path, page) {
  let current = null;
  const connect = () => {
    if (page.connecting) page.connecting();
    fetchTemplates().then(page.templates).then(open, () => setTimeout(connect, RECONNECT_MS));
  };
  const lose = (ws, after) => {
    if (current !== ws) return;
    current = null;
    page.lost(ws);
    setTimeout(connect, after);
  };
  const open = () => {
    const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    const ws = new WebSocket(scheme + location.host + path);
    current = ws;
    const socket = page.opened(ws);
    ws.onmessage = (ev) => {
      if (current !== ws) return;
      let m;
      try { m = JSON.parse(ev.data); } catch (e) { return; }
      socket.frame(m);
    };
    ws.onclose = () => lose(ws, socket.pause ? socket.pause() : RECONNECT_MS);
    ws.onerror = () => ws.close();
  };
  connect();
  return {
    drop(ws) {
      ws.close();
      lose(ws, 0);
    },
  };
}
