'use strict';
// Stand-in until the set-up page proper: shows that the set-up socket answers.
(() => {
  const ws = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/setup/socket');
  const status = document.getElementById('status');
  ws.onmessage = (ev) => {
    let m;
    try { m = JSON.parse(ev.data); } catch (e) { return; }
    if (m.t === 'setup') status.textContent = 'connected, ' + (m.boards || []).length + ' board(s)';
  };
  ws.onclose = () => { status.textContent = 'not connected'; };
})();
