// The page's schedule view (only when the service runs a schedule): what
// the sign has now, the week as a timeline, and the entries to edit, saved
// through PUT /api/schedule with the service's own checks.
'use strict';

const scheduleDays = ['一', '二', '三', '四', '五', '六', '日'];
let scheduleDoc = null;

function minutes(text, end) {
  const m = /^(\d\d):(\d\d)$/.exec(text || '');
  if (!m) return end ? 1440 : 0;
  return Number(m[1]) * 60 + Number(m[2]);
}

function scheduleStatusText(s) {
  if (!s.active) return t('没有按日程运行。');
  let text = t('现在：%1 · 亮度 %2', s.playlist, s.brightness === null ? t('不变') : s.brightness) +
    (s.power === 'on' ? t(' · 屏幕开') : t(' · 屏幕关'));
  if (s.next) text += t(' · 下次变化 %1', s.next.replace('T', ' ').slice(0, 16));
  if (s.sending) text += t(' · 正在发送');
  if (s.retryInSeconds) text += t(' · %1 秒后重试', s.retryInSeconds);
  if (s.last && !s.last.ok) text += t(' · 上次失败：%1', s.last.error);
  return text;
}

// One row per weekday, a block for each window of each enabled play list.
function drawTimeline(schedule) {
  const box = $('scheduleTimeline');
  box.textContent = '';
  const lists = (schedule.playlists || []).filter((p) => p.enabled !== false);
  const hours = document.createElement('div');
  hours.className = 'day hours';
  const hoursTrack = document.createElement('div');
  hoursTrack.className = 'track';
  for (let h = 0; h < 24; h += 3) {
    const mark = document.createElement('span');
    mark.style.left = (h / 0.24) + '%';
    mark.textContent = h;
    hoursTrack.append(mark);
  }
  hours.append(document.createElement('span'), hoursTrack);
  hours.firstChild.className = 'dayName';
  box.append(hours);
  scheduleDays.forEach((name, index) => {
    const row = document.createElement('div');
    row.className = 'day';
    const label = document.createElement('span');
    label.className = 'dayName';
    label.textContent = t(name);
    const track = document.createElement('div');
    track.className = 'track';
    row.append(label, track);
    const day = index + 1;
    const previous = index === 0 ? 7 : index;
    lists.forEach((p, n) => {
      const days = p.days || [1, 2, 3, 4, 5, 6, 7];
      const from = minutes(p.from, false);
      const to = minutes(p.to, true);
      const spans = [];
      if (days.includes(day)) spans.push(to > from ? [from, to] : [from, 1440]);
      if (to <= from && days.includes(previous)) spans.push([0, to]);
      spans.forEach(([a, b]) => {
        const block = document.createElement('div');
        block.className = 'block c' + (n % 6);
        block.style.left = (a / 14.4) + '%';
        block.style.width = ((b - a) / 14.4) + '%';
        block.title = p.file + ' ' + (p.from || '00:00') + '–' + (p.to || '24:00') +
          (p.dateFrom || p.dateTo ? t(' (%1 至 %2)', p.dateFrom || '', p.dateTo || '') : '');
        block.textContent = p.file.replace(/\.brivprj$/, '');
        track.append(block);
      });
    });
    box.append(row);
  });
}

function field(label, input) {
  const wrap = document.createElement('label');
  wrap.append(label, input);
  return wrap;
}

function textInput(entry, key, placeholder) {
  const input = document.createElement('input');
  input.value = entry[key] === undefined ? '' : entry[key];
  input.placeholder = placeholder;
  input.onchange = () => {
    if (input.value === '') delete entry[key]; else entry[key] = input.value;
    drawTimeline(scheduleDoc.schedule);
  };
  return input;
}

function numberInput(entry, key, min, max) {
  const input = document.createElement('input');
  input.type = 'number';
  input.min = min;
  input.max = max;
  input.value = entry[key] === undefined ? '' : entry[key];
  input.onchange = () => {
    if (input.value === '') delete entry[key]; else entry[key] = Number(input.value);
  };
  return input;
}

function removeButton(list, index) {
  const button = document.createElement('button');
  button.type = 'button';
  button.textContent = t('删除');
  button.onclick = () => { list.splice(index, 1); renderSchedule(); };
  return button;
}

function windowFields(entry) {
  return [field(t('开始'), textInput(entry, 'from', '00:00')),
    field(t('结束'), textInput(entry, 'to', '24:00'))];
}

function renderEntries(schedule) {
  const box = $('scheduleEntries');
  box.textContent = '';
  const add = (kind, entry, parts) => {
    const row = document.createElement('div');
    row.className = 'entry ' + kind;
    row.append(...parts);
    box.append(row);
  };
  (schedule.playlists || []).forEach((entry, index, list) => {
    const file = document.createElement('select');
    for (const name of scheduleDoc.files) file.append(new Option(name, name));
    if (!scheduleDoc.files.includes(entry.file)) file.append(new Option(entry.file, entry.file));
    file.value = entry.file;
    file.onchange = () => { entry.file = file.value; drawTimeline(schedule); };
    const days = document.createElement('span');
    days.className = 'days';
    scheduleDays.forEach((name, i) => {
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.checked = (entry.days || [1, 2, 3, 4, 5, 6, 7]).includes(i + 1);
      box.onchange = () => {
        entry.days = [...days.querySelectorAll('input')].map((b, d) => b.checked ? d + 1 : 0)
          .filter((d) => d);
        drawTimeline(schedule);
      };
      days.append(field(t(name), box));
    });
    const enabled = document.createElement('input');
    enabled.type = 'checkbox';
    enabled.checked = entry.enabled !== false;
    enabled.onchange = () => { entry.enabled = enabled.checked; drawTimeline(schedule); };
    add('playlist', entry, [field(t('播放表'), file), days, ...windowFields(entry),
      field(t('开始日期'), textInput(entry, 'dateFrom', '2026-12-24')),
      field(t('结束日期'), textInput(entry, 'dateTo', '2026-12-26')),
      field(t('优先级'), numberInput(entry, 'priority', -1000000, 1000000)),
      field(t('启用'), enabled), removeButton(list, index)]);
  });
  (schedule.brightness || []).forEach((entry, index, list) => {
    add('brightness', entry, [document.createTextNode(t('亮度')), ...windowFields(entry),
      field(t('亮度级别'), numberInput(entry, 'level', 0, 15)), removeButton(list, index)]);
  });
  (schedule.power || []).forEach((entry, index, list) => {
    const state = document.createElement('select');
    state.append(new Option(t('关屏'), 'off'), new Option(t('开屏'), 'on'));
    state.value = entry.state || 'off';
    state.onchange = () => { entry.state = state.value; };
    add('power', entry, [document.createTextNode(t('开关屏')), ...windowFields(entry),
      field(t('状态'), state), removeButton(list, index)]);
  });
}

function renderSchedule() {
  const schedule = scheduleDoc.schedule;
  $('scheduleStatus').textContent = scheduleStatusText(scheduleDoc.status);
  const problems = scheduleDoc.status.problems || [];
  $('scheduleProblems').textContent = problems.length
    ? scheduleDoc.status.message + ' ' + problems.map((p) => p.field + '：' + p.error).join('；')
    : '';
  drawTimeline(schedule);
  renderEntries(schedule);
  $('scheduleClock').value = schedule.clockSync || '';
}

async function loadSchedule() {
  try {
    scheduleDoc = await api('GET', '/api/schedule');
  } catch (e) {
    return; // no schedule is run: the view stays hidden
  }
  if (!scheduleDoc.schedule) scheduleDoc.schedule = { version: 1 };
  $('scheduleBox').hidden = false;
  renderSchedule();
}

async function saveSchedule() {
  const schedule = scheduleDoc.schedule;
  const clock = $('scheduleClock').value.trim();
  if (clock) schedule.clockSync = clock; else delete schedule.clockSync;
  try {
    scheduleDoc = await api('PUT', '/api/schedule', schedule);
    renderSchedule();
    showMessage(t('日程已保存。'), true);
  } catch (e) { showMessage(e.message); }
}

function addEntry(key, entry) {
  const schedule = scheduleDoc.schedule;
  (schedule[key] = schedule[key] || []).push(entry);
  renderSchedule();
}

function startSchedule() {
  $('scheduleSave').onclick = saveSchedule;
  $('scheduleAddList').onclick = () => addEntry('playlists',
    { file: scheduleDoc.files[0] || scheduleDoc.project, from: '06:00', to: '10:00' });
  $('scheduleAddLevel').onclick = () => addEntry('brightness',
    { from: '19:00', to: '07:00', level: 3 });
  $('scheduleAddPower').onclick = () => addEntry('power',
    { from: '23:00', to: '06:00', state: 'off' });
  loadSchedule();
  setInterval(async () => {
    if (!scheduleDoc) return;
    try {
      scheduleDoc.status = await api('GET', '/api/schedule/status');
      $('scheduleStatus').textContent = scheduleStatusText(scheduleDoc.status);
    } catch (e) { /* the next poll tries again */ }
  }, 10000);
}

textsReady.then(startSchedule);
