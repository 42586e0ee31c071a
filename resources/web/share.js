// "Share": this page's own address as a QR code, so that a tablet's camera
// opens exactly what is shown here (the combined page or the one panel).
'use strict';

(() => {
  const QUIET = 4;  // modules of white border that readers need
  const tools = document.getElementById('tools');
  if (!tools || typeof qrcode !== 'function') return;

  const button = document.createElement('button');
  button.type = 'button';
  button.id = 'share';
  button.textContent = 'Share';
  button.title = "This page's address as a QR code, for a tablet";
  tools.prepend(button);

  const box = document.createElement('dialog');
  box.id = 'sharebox';
  box.setAttribute('aria-labelledby', 'sharetitle');
  const inner = box.appendChild(document.createElement('div'));  // the dialog itself is only its edge
  const title = inner.appendChild(document.createElement('h2'));
  title.id = 'sharetitle';
  title.textContent = 'Open these panels on a tablet';
  const hint = inner.appendChild(document.createElement('p'));
  hint.textContent = "Point the tablet's camera at the code, or type the address.";
  const canvas = inner.appendChild(document.createElement('canvas'));
  canvas.id = 'qr';
  canvas.setAttribute('role', 'img');
  const address = inner.appendChild(document.createElement('p'));
  address.id = 'shareaddress';
  const loopback = inner.appendChild(document.createElement('p'));
  loopback.id = 'shareloopback';
  loopback.textContent = "This is this computer's own loopback address: a tablet cannot open it. " +
                         'Open the address that the log names ("Web panels at ...") and share again.';
  const close = inner.appendChild(document.createElement('button'));
  close.type = 'button';
  close.textContent = 'Close';
  document.body.appendChild(box);

  // The page's own address: no query or fragment, which the page never uses.
  const pageAddress = () => location.origin + location.pathname;
  const isLoopback = (host) => host === 'localhost' || host === '[::1]' || /^127\./.test(host);

  function draw(text) {
    const qr = qrcode(0, 'M');  // the smallest version that holds the text
    qr.addData(text);
    qr.make();
    const count = qr.getModuleCount();
    const side = count + 2 * QUIET;
    // Whole device pixels per module, the code at most about 60 % of the
    // screen's shorter side.
    const ratio = window.devicePixelRatio || 1;
    const want = Math.min(360, 0.6 * Math.min(window.innerWidth, window.innerHeight));
    const px = Math.max(2, Math.floor((want * ratio) / side));
    canvas.width = canvas.height = side * px;
    canvas.style.setProperty('--qr-side', (side * px) / ratio);
    const g = canvas.getContext('2d');
    g.fillStyle = '#fff';
    g.fillRect(0, 0, canvas.width, canvas.height);
    g.fillStyle = '#000';
    for (let r = 0; r < count; ++r)
      for (let c = 0; c < count; ++c)
        if (qr.isDark(r, c)) g.fillRect((c + QUIET) * px, (r + QUIET) * px, px, px);
    canvas.setAttribute('aria-label', 'QR code of ' + text);
  }

  button.addEventListener('click', () => {
    const text = pageAddress();
    draw(text);
    address.textContent = text;
    loopback.hidden = !isLoopback(location.hostname);
    if (typeof box.showModal === 'function') box.showModal();
    else box.setAttribute('open', '');
  });
  const hide = () => (typeof box.close === 'function' ? box.close() : box.removeAttribute('open'));
  close.addEventListener('click', hide);
  box.addEventListener('click', (e) => { if (e.target === box) hide(); });  // a tap beside it
})();
