/* The list pages, one question at a time; ends the template's function,
   which defines kit, KIND, OWN, items (listItems), build(item, i, body),
   check(item) ('none': no attempt), reveal(item) (its answer shown),
   focusItem, keep, restore, summary. An item's `credit` is the part of it
   right at the first check when it was not all right (Multiple choice). */
var byId = function (id) { return document.getElementById(id); };

/* The words both list pages use; the template adds its own. */
var WORDS = {
  en: {
    item: 'Question {n} of {total}', prev: 'Previous', next: 'Next',
    practice: 'Practice: this question does not count in the score.',
    open: 'Open {name} on its own', reading: 'Text for question {n}',
    right: 'Right!', wrong: 'Not yet. Try again.',
    same: 'That answer was already checked.',
    pictureOf: 'Picture for question {n}'
  },
  pt: {
    item: 'Quest\u00e3o {n} de {total}', prev: 'Anterior', next: 'Pr\u00f3xima',
    practice: 'Para praticar: esta quest\u00e3o n\u00e3o conta na pontua\u00e7\u00e3o.',
    open: 'Abrir {name} sozinho', reading: 'Texto da quest\u00e3o {n}',
    right: 'Certo!', wrong: 'Ainda n\u00e3o. Tente de novo.',
    same: 'Essa resposta j\u00e1 foi conferida.',
    pictureOf: 'Imagem da quest\u00e3o {n}'
  },
  es: {
    item: 'Pregunta {n} de {total}', prev: 'Anterior', next: 'Siguiente',
    practice: 'Para practicar: esta pregunta no cuenta en la puntuaci\u00f3n.',
    open: 'Abrir {name} aparte', reading: 'Texto de la pregunta {n}',
    right: '\u00a1Correcto!', wrong: 'Todav\u00eda no. Int\u00e9ntalo de nuevo.',
    same: 'Esa respuesta ya se comprob\u00f3.',
    pictureOf: 'Imagen de la pregunta {n}'
  }
};
var table = {};
Object.keys(WORDS).forEach(function (lang) { table[lang] = Object.assign({}, WORDS[lang], OWN[lang]); });
var word = kit.words(table);

function list(value) { return Array.isArray(value) ? value : []; }
/* The generator ends questions and feedback with blank lines; the page
   lays them out itself. */
function tidy(html) { return String(html == null ? '' : html).replace(/(\s|<br\s*\/?>)+$/i, ''); }
function blank(html) { return kit.plainText(html || '') === '' && !/<(img|embed|audio|video|iframe|object)/i.test(html || ''); }

/* The page or picture a question refers to, shown beside it (above it on
   a phone), with a link that opens it on its own. */
function readingOf(name, n) {
  name = String(name == null ? '' : name).trim();
  if (name === '' || name === '#') return null;
  var figure = document.createElement('figure');
  figure.className = 'reading';
  if (/\.(jpe?g|gif|png|webp)$/i.test(name)) {
    var img = document.createElement('img');
    img.src = name;
    img.alt = word('pictureOf', { n: n });
    figure.appendChild(img);
  } else {
    var frame = document.createElement('iframe');
    frame.src = name;
    frame.title = word('reading', { n: n });
    frame.setAttribute('loading', 'lazy');
    figure.appendChild(frame);
  }
  var link = document.createElement('a');
  link.href = name;
  link.target = '_blank';
  link.rel = 'noopener';
  link.textContent = word('open', { name: name });
  figure.appendChild(document.createElement('br'));
  figure.appendChild(link);
  return figure;
}

/* An item a question (Texto, Questao, Avalia), with make(i)'s own fields
   and key. */
function listItems(make) {
  var files = list(typeof Texto === 'undefined' ? null : Texto);
  var questions = list(typeof Questao === 'undefined' ? null : Questao);
  var flags = list(typeof Avalia === 'undefined' ? null : Avalia);
  return questions.map(function (question, i) {
    var item = make(i);
    return Object.assign(item, {
      file: files[i], question: tidy(question),
      assessed: String(flags[i] == null ? 'S' : flags[i]).toUpperCase() !== 'N',
      state: '', tries: 0, checked: '', key: [question, item.key].join('\u0002')
    });
  });
}

var itemsBox = byId('items');
var status = byId('status');
var current = 0;
var trials = 0;
var finished = false;

items.forEach(function (item, i) {
  var section = document.createElement('section');
  section.className = 'item';
  section.id = 'item' + i;
  section.setAttribute('aria-labelledby', 'itemHead' + i);
  var head = document.createElement('h2');
  head.id = 'itemHead' + i;
  head.className = 'kio-sr';
  head.textContent = word('item', { n: i + 1, total: items.length });
  section.appendChild(head);
  var figure = readingOf(item.file, i + 1);
  if (figure) {
    section.classList.add('with-reading');
    section.appendChild(figure);
  }
  var body = document.createElement('div');
  var question = document.createElement('div');
  question.className = 'question';
  question.setAttribute('dir', 'auto');
  question.innerHTML = blank(item.question) ? '' : item.question;
  body.appendChild(question);
  if (!item.assessed) {
    var practice = document.createElement('p');
    practice.className = 'practice';
    practice.textContent = word('practice');
    body.appendChild(practice);
  }
  build(item, i, body);
  item.feedback = document.createElement('div');
  item.feedback.className = 'feedback';
  item.feedback.setAttribute('role', 'status');
  item.feedback.setAttribute('dir', 'auto');
  body.appendChild(item.feedback);
  item.hint = document.createElement('div');
  item.hint.className = 'hint';
  item.hint.setAttribute('dir', 'auto');
  body.appendChild(item.hint);
  section.appendChild(body);
  item.section = section;
  itemsBox.appendChild(section);
});

var fileName = kit.page(itemsBox);
var kept = kit.store(KIND, JSON.stringify(items.map(function (item) { return item.key; })));

var scored = items.filter(function (item) { return item.assessed; });
/* A question right at the first check counts 1, one partly right at the
   first check its credit; one whose answer was shown, nothing. */
function points(item) { return item.state === 'ok' && item.tries === 1 ? 1 : item.state === 'shown' ? 0 : item.credit || 0; }
function firstTimeRight() {
  var sum = scored.reduce(function (total, item) { return total + points(item); }, 0);
  return Math.round(sum * 100) / 100;
}
function settled(item) { return item.state === 'ok' || item.state === 'shown'; }
function performance() { return trials === 0 ? '-' : kit.percent(firstTimeRight(), scored.length); }

function show(n, focus) {
  current = Math.max(0, Math.min(items.length - 1, n));
  items.forEach(function (item, i) { item.section.hidden = i !== current; });
  byId('where').textContent = items.length ? word('item', { n: current + 1, total: items.length }) : '';
  byId('prev').disabled = current === 0;
  byId('next').disabled = current >= items.length - 1;
  var item = items[current];
  byId('check').disabled = !item || settled(item) || finished;
  showAll.hidden = trials === 0 || finished;
  if (focus && item) focusItem(item);
}

function showScore() {
  byId('perf').textContent = performance();
  byId('right').textContent = trials === 0 ? '-' : firstTimeRight() + '/' + scored.length;
  byId('trials').textContent = String(trials);
  if (!finished && items.length > 0 && items.every(settled)) {
    finished = true;
    byId('check').disabled = true;
    kit.finish(true);
  }
  showAll.hidden = trials === 0 || finished;
  results.update();
}

function save() {
  kept.save({ current: current, trials: trials, items: items.map(function (item) {
    return Object.assign(keep(item), { state: item.state, credit: item.credit || 0 });
  }) });
}

function checkCurrent() {
  var item = items[current];
  if (!item || settled(item) || finished) return;
  var outcome = check(item);
  if (outcome === 'none') return;
  trials++;
  item.tries++;
  showScore();
  save();
  show(current);
  if (item.state === 'ok') {
    var next = byId('next');
    if (!next.disabled) next.focus();
  }
}

/* After a first check the answers may be shown: every question not yet
   right shows its answer and counts as not found; the activity ends. */
var showAll = document.createElement('button');
showAll.type = 'button';
showAll.id = 'showAll';
showAll.textContent = kit.t('showAll');
showAll.hidden = true;
byId('check').after(showAll);
function showAnswer(item) {
  reveal(item);
  item.state = 'shown';
  item.feedback.className = 'feedback';
  item.feedback.textContent = kit.t('shown');
}
showAll.addEventListener('click', function () {
  items.forEach(function (item) { if (!settled(item)) showAnswer(item); });
  showScore();
  save();
  show(current);
});

var results = kit.results(KIND, fileName, function () {
  var lines = [byId('rightLabel').textContent + ': ' + firstTimeRight() + '/' + scored.length + '; ' +
    byId('trialsLabel').textContent + ': ' + trials];
  items.forEach(function (item, i) {
    var sign = item.state === 'ok' ? (item.tries === 1 ? '+' : '~') : item.state === 'shown' ? '(' + kit.t('shown') + ')' :
      item.tries ? '-' : '';
    lines.push((i + 1) + '. ' + summary(item) + ' ' + sign + (item.assessed ? '' : ' *'));
  });
  return { score: performance(), details: lines.join('\n') };
});

var saved = kept.load();
if (saved && Array.isArray(saved.items)) {
  trials = Number(saved.trials) || 0;
  items.forEach(function (item, i) {
    var state = saved.items[i];
    if (!state) return;
    restore(item, state);
    item.credit = Number(state.credit) || 0;
    if (state.state === 'shown') showAnswer(item);
  });
  current = Number(saved.current) || 0;
}

byId('prev').textContent = word('prev');
byId('next').textContent = word('next');
byId('prev').addEventListener('click', function () { show(current - 1, true); save(); });
byId('next').addEventListener('click', function () { show(current + 1, true); save(); });
byId('check').addEventListener('click', checkCurrent);
kit.restart(kept);
if (items.length === 0) byId('check').disabled = true;
show(current);
showScore();
