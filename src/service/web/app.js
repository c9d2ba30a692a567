// The sign service's page: the play list with LED previews, editing, and
// the send with its progress. Talks only to the service's own /api.
'use strict';

const $ = (id) => document.getElementById(id);
let choices = null;
let sending = false;
// The lists /api/choices names, with the number of each list's first entry.
const numberedChoices = { action: 1, speed: 0, frame: 0, clock: 0, level: 1, flash: 0,
  style: 0, color: 1 };
// The fields the page edits, as the service names them (text programs: all).
const commonFields = ['action', 'speed', 'frame', 'clock', 'delay', 'level', 'flash', 'flashdelay'];
const textFields = ['content', 'font'];
const allFields = commonFields.concat(textFields, ['size', 'style', 'color']);

function showMessage(text, ok) {
  const box = $('message');
  box.textContent = text;
  box.className = 'shown' + (ok ? ' ok' : '');
  clearTimeout(showMessage.timer);
  showMessage.timer = setTimeout(() => { box.className = ''; }, 5000);
}

async function api(method, path, body, type) {
  const options = { method, headers: {} };
  // Every change says what it carries: the service refuses others.
  if (method !== 'GET')
    options.headers['Content-Type'] = type || 'application/json';
  if (body !== undefined)
    options.body = type ? body : JSON.stringify(body);
  const response = await fetch(path, options);
  const text = await response.text();
  let data = null;
  try { data = text ? JSON.parse(text) : null; } catch (e) { data = null; }
  if (!response.ok)
    throw new Error((data && data.error) || ('HTTP ' + response.status));
  return data;
}

// One LED per pixel of the page picture, drawn as a round dot on black.
async function drawPreview(canvas, program, page) {
  const image = new Image();
  image.src = '/api/programs/' + program + '/preview.png?page=' + page + '&t=' + Date.now();
  await image.decode();
  const w = image.naturalWidth, h = image.naturalHeight;
  const source = document.createElement('canvas');
  source.width = w; source.height = h;
  const sc = source.getContext('2d');
  sc.drawImage(image, 0, 0);
  const pixels = sc.getImageData(0, 0, w, h).data;
  const dot = Math.max(2, Math.min(8, Math.floor(1600 / w)));
  canvas.width = w * dot; canvas.height = h * dot;
  const c = canvas.getContext('2d');
  c.fillStyle = '#000';
  c.fillRect(0, 0, canvas.width, canvas.height);
  const r = dot * 0.42;
  for (let y = 0; y < h; ++y) {
    for (let x = 0; x < w; ++x) {
      const i = (y * w + x) * 4;
      const red = pixels[i], green = pixels[i + 1];
      c.fillStyle = red || green ? 'rgb(' + red + ',' + green + ',0)' : '#1a1a1a';
      c.beginPath();
      c.arc(x * dot + dot / 2, y * dot + dot / 2, r, 0, 2 * Math.PI);
      c.fill();
    }
  }
  canvas.dataset.drawn = String(Date.now());
}

function fillSelect(select, names, base) {
  select.innerHTML = '';
  names.forEach((name, i) => {
    const option = document.createElement('option');
    option.value = String(base + i);
    option.textContent = t(name);
    select.appendChild(option);
  });
}

function renderProgram(item) {
  const node = $('programTemplate').content.firstElementChild.cloneNode(true);
  node.dataset.index = item.index;
  if (item.kind === 'picture') node.classList.add('picture');
  node.querySelector('.number').textContent = item.index + '.';
  node.querySelector('.kind').textContent = item.kind === 'picture' ? t('图片') : t('文字');
  node.querySelector('.summary').textContent =
    (item.kind === 'picture' ? item.content + '  ' : '') +
    t(item.actionName || '') + t(' · 停留 %1 秒 · %2 页', item.stayTime, item.pages);
  // What the sign will not show as written: colour, fit, missing characters.
  const warnings = node.querySelector('.warnings');
  for (const warning of item.warnings || []) {
    const li = document.createElement('li');
    li.textContent = warning.text;
    li.dataset.code = warning.code;
    warnings.appendChild(li);
  }
  warnings.hidden = !warnings.firstChild;
  const f = (name) => node.querySelector('[name="' + name + '"]');
  for (const [name, base] of Object.entries(numberedChoices))
    fillSelect(f(name), choices[name], base);
  const fields = item.kind === 'text' ? allFields : commonFields;
  if (item.kind === 'text') {
    f('content').maxLength = choices.maxTextChars;
    // A face not in the list (not installed here) is kept as the file names it.
    const faces = choices.font.includes(item.font) || !item.font
      ? choices.font : [item.font].concat(choices.font);
    f('font').innerHTML = '';
    for (const face of faces) {
      const option = document.createElement('option');
      option.value = option.textContent = face;
      f('font').appendChild(option);
    }
  }
  for (const name of fields)
    f(name).value = String(item[name]);
  const canvas = node.querySelector('canvas');
  const pages = node.querySelector('.pages');
  for (let p = 1; p <= item.pages && item.pages > 1 && p <= 50; ++p) {
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = t('第 %1 页', p);
    if (p === 1) b.classList.add('current');
    b.onclick = () => {
      pages.querySelectorAll('button').forEach((x) => x.classList.remove('current'));
      b.classList.add('current');
      drawPreview(canvas, item.index, p).catch(() => {});
    };
    pages.appendChild(b);
  }
  drawPreview(canvas, item.index, 1).catch(() => {});
  // The program as the sign plays it: an animated GIF over the still preview.
  const play = document.createElement('button');
  play.type = 'button';
  play.className = 'play';
  play.textContent = t('播放');
  let movie = null;
  play.onclick = () => {
    if (movie) {
      movie.remove();
      movie = null;
      canvas.hidden = false;
      play.textContent = t('播放');
      return;
    }
    movie = document.createElement('img');
    movie.className = 'animation';
    movie.alt = t('播放');
    movie.src = '/api/programs/' + item.index + '/animation.gif?scale=3&dots=1&t=' + Date.now();
    canvas.hidden = true;
    canvas.after(movie);
    play.textContent = t('停止');
  };
  pages.appendChild(play);
  node.querySelector('.save').onclick = async () => {
    // Only what was changed: a value the file holds out of range stays as it is.
    const change = {};
    for (const name of fields) {
      const value = f(name).value;
      if (value === '' || value === String(item[name])) continue;
      change[name] = textFields.includes(name) ? value : Number(value);
    }
    try {
      await api('PATCH', '/api/programs/' + item.index, change);
      showMessage(t('已保存节目 %1。', item.index), true);
      await loadList();
    } catch (e) { showMessage(e.message); }
  };
  const act = (method, path, body, done) => async () => {
    try { await api(method, path, body); if (done) showMessage(done, true); await loadList(); }
    catch (e) { showMessage(e.message); }
  };
  node.querySelector('.up').onclick = act('POST', '/api/programs/' + item.index + '/move', { direction: 'up' });
  node.querySelector('.down').onclick = act('POST', '/api/programs/' + item.index + '/move', { direction: 'down' });
  node.querySelector('.delete').onclick = async () => {
    if (!confirm(t('删除节目 %1？', item.index))) return;
    await act('DELETE', '/api/programs/' + item.index, undefined, t('已删除。'))();
  };
  return node;
}

async function loadList() {
  const list = await api('GET', '/api/programs');
  const ol = $('programs');
  ol.innerHTML = '';
  list.items.forEach((item) => ol.appendChild(renderProgram(item)));
  $('empty').hidden = list.items.length > 0;
  document.body.dataset.programs = String(list.items.length);
}

async function readCard() {
  $('cardText').textContent = t('正在读取...');
  try {
    const card = await api('GET', '/api/card');
    // The model's text already names the firmware.
    let text = card.model;
    if (card.screenParams) text += t('，') + card.screenParams.width + ' x ' + card.screenParams.height;
    if (card.brightness !== null) text += t('，亮度 %1', card.brightness);
    $('cardText').textContent = text;
    // The sign's colours are known now: previews and warnings follow them.
    await loadList();
  } catch (e) { $('cardText').textContent = e.message; }
}

function showJob(job) {
  $('status').textContent = job.status || '\u00a0';
  const range = job.range || 1;
  $('barFill').style.width = Math.min(100, Math.round(100 * job.position / range)) + '%';
}

async function send() {
  if (sending) return;
  sending = true;
  $('send').disabled = true;
  document.body.dataset.send = 'running';
  try {
    const start = await api('POST', '/api/send');
    $('cancel').hidden = false;
    $('cancel').onclick = () => api('POST', '/api/jobs/' + start.job + '/cancel').catch(() => {});
    for (;;) {
      const job = await api('GET', '/api/jobs/' + start.job);
      showJob(job);
      if (job.state !== 'running') {
        if (job.state === 'failed') {
          showMessage(job.error || t('发送失败。'));
          document.body.dataset.send = 'failed';
        } else {
          document.body.dataset.send = job.result.end;
          showMessage(job.status, job.result.end === 'completed');
        }
        break;
      }
      await new Promise((resolve) => setTimeout(resolve, 300));
    }
  } catch (e) {
    showMessage(e.message);
    document.body.dataset.send = 'failed';
  }
  $('cancel').hidden = true;
  $('send').disabled = false;
  sending = false;
}

async function addText() {
  const text = $('newText').value;
  if (!text.trim()) { showMessage(t('请输入文字。')); return; }
  try {
    await api('POST', '/api/programs', { kind: 'text', content: text });
    $('newText').value = '';
    showMessage(t('已添加。'), true);
    await loadList();
  } catch (e) { showMessage(e.message); }
}

async function addPicture() {
  const file = $('pictureFile').files[0];
  if (!file) { showMessage(t('请选择图片文件。')); return; }
  const name = file.name.replace(/[^\p{L}\p{N}._ -]/gu, '_').replace(/^\.+/, '').slice(0, 80) || 'picture';
  try {
    await api('POST', '/api/pictures?name=' + encodeURIComponent(name), file, file.type || 'application/octet-stream');
    await api('POST', '/api/programs', { kind: 'picture', picture: name });
    showMessage(t('已添加图片。'), true);
    await loadList();
  } catch (e) { showMessage(e.message); }
}

async function main() {
  $('send').onclick = send;
  $('addText').onclick = addText;
  $('addPicture').onclick = addPicture;
  $('readCard').onclick = readCard;
  try {
    choices = await api('GET', '/api/choices');
    $('newText').maxLength = choices.maxTextChars;
    await loadList();
    document.body.dataset.ready = '1';
  } catch (e) { showMessage(e.message); }
}

textsReady.then(main);
