// Night mode: a dark, warm palette and a dimmer, for a tablet in a dark
// cockpit. Each device remembers its own choice.
'use strict';

(() => {
  const NIGHT_KEY = 'orv.night';
  const BRIGHT_KEY = 'orv.brightness';
  const MIN = 40, MAX = 100, START = 60;  // per cent: below 40 the amber labels fade out of reading
  const root = document.documentElement;

  // Local storage may be refused (a private window): the choice then lasts
  // as long as the page.
  const load = (key) => { try { return localStorage.getItem(key); } catch (e) { return null; } };
  const save = (key, value) => { try { localStorage.setItem(key, value); } catch (e) { /* kept for now */ } };
  const brightnessOf = (text) => {
    const n = Number(text);
    return text !== null && text !== '' && Number.isFinite(n) ? Math.min(MAX, Math.max(MIN, Math.round(n))) : START;
  };

  const toggle = document.createElement('button');
  toggle.type = 'button';
  toggle.id = 'night';
  toggle.textContent = 'Night';
  toggle.title = 'Dark, dim panels for a dark cockpit';
  const slider = document.createElement('input');
  slider.type = 'range';
  slider.id = 'brightness';
  slider.min = MIN;
  slider.max = MAX;
  slider.step = 5;
  slider.setAttribute('aria-label', 'Brightness');
  slider.title = 'Brightness';
  const dimmer = document.createElement('div');
  dimmer.id = 'dimmer';
  dimmer.setAttribute('aria-hidden', 'true');
  document.body.appendChild(dimmer);
  const tools = document.getElementById('tools');
  if (tools) tools.prepend(toggle, slider);
  const theme = document.querySelector('meta[name="theme-color"]');
  const dayTheme = theme ? theme.content : '';

  function apply(night, brightness) {
    root.classList.toggle('night', night);
    // Custom properties through the style object: allowed where inline
    // styles are not.
    root.style.setProperty('--dim', night ? (1 - brightness / 100).toFixed(2) : '0');
    root.style.setProperty('--bright', night ? (brightness / 100).toFixed(2) : '1');
    toggle.setAttribute('aria-pressed', night ? 'true' : 'false');
    slider.hidden = !night;
    slider.value = brightness;
    slider.setAttribute('aria-valuetext', brightness + ' %');
    if (theme) theme.content = night ? '#000000' : dayTheme;
  }

  let night = load(NIGHT_KEY) === '1';
  let brightness = brightnessOf(load(BRIGHT_KEY));
  apply(night, brightness);
  toggle.addEventListener('click', () => {
    night = !night;
    save(NIGHT_KEY, night ? '1' : '0');
    apply(night, brightness);
  });
  slider.addEventListener('input', () => {
    brightness = brightnessOf(slider.value);
    save(BRIGHT_KEY, String(brightness));
    apply(night, brightness);
  });
})();
