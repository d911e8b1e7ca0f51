/* Student-page kit: what every activity page shares. Answer matching,
   scoring, progress kept in the browser, results sent or printed or copied,
   and the accessibility helpers. Templates call it as KioKit. */
var KioKit = (function () {
  'use strict';

  var byId = function (id) { return document.getElementById(id); };

  /* The kit's own words, in the page's language (the html lang attribute);
     the student language file has no room for them. English otherwise. */
  var WORDS = {
    en: {
      gap: 'gap {n} of {total}', word: 'hidden word, {n} letters', word1: 'hidden word, 1 letter',
      reveal: 'Show the answer', revealWord: 'Show a word', shown: 'shown',
      accents: 'Almost: check the accents.', empty: 'Type an answer first.',
      restart: 'Start again', restartAsk: 'Start again? What you have done on this page will be cleared.',
      sending: 'Sending...', sent: 'Sent: your results arrived.',
      failed: 'Not sent: the results did not arrive ({why}). Print them, or copy them as text for your teacher.',
      unset: 'This page cannot send results. Print them, or copy them as text for your teacher.',
      copy: 'Copy the results as text', copied: 'Copied.', print: 'Print the results',
      sound: 'Sound: {name}', video: 'Video: {name}', offline: 'no connection',
      showAll: 'Show the answers', tryAgain: 'Try again', newStudent: 'I am a new student'
    },
    pt: {
      gap: 'lacuna {n} de {total}', word: 'palavra oculta, {n} letras', word1: 'palavra oculta, 1 letra',
      reveal: 'Mostrar a resposta', revealWord: 'Mostrar uma palavra', shown: 'mostrada',
      accents: 'Quase: confira os acentos.', empty: 'Escreva uma resposta primeiro.',
      restart: 'Recome\u00e7ar', restartAsk: 'Recome\u00e7ar? O que voc\u00ea fez nesta p\u00e1gina ser\u00e1 apagado.',
      sending: 'Enviando...', sent: 'Enviado: seus resultados chegaram.',
      failed: 'N\u00e3o enviado: os resultados n\u00e3o chegaram ({why}). Imprima-os ou copie-os como texto para o seu professor.',
      unset: 'Esta p\u00e1gina n\u00e3o envia resultados. Imprima-os ou copie-os como texto para o seu professor.',
      copy: 'Copiar os resultados como texto', copied: 'Copiado.', print: 'Imprimir os resultados',
      sound: 'Som: {name}', video: 'V\u00eddeo: {name}', offline: 'sem conex\u00e3o',
      showAll: 'Mostrar as respostas', tryAgain: 'Tentar de novo', newStudent: 'Sou outro aluno'
    },
    es: {
      gap: 'hueco {n} de {total}', word: 'palabra oculta, {n} letras', word1: 'palabra oculta, 1 letra',
      reveal: 'Mostrar la respuesta', revealWord: 'Mostrar una palabra', shown: 'mostrada',
      accents: 'Casi: revisa los acentos.', empty: 'Escribe una respuesta primero.',
      restart: 'Empezar de nuevo', restartAsk: '\u00bfEmpezar de nuevo? Lo que hiciste en esta p\u00e1gina se borrar\u00e1.',
      sending: 'Enviando...', sent: 'Enviado: tus resultados llegaron.',
      failed: 'No enviado: los resultados no llegaron ({why}). Impr\u00edmelos o c\u00f3pialos como texto para tu profesor.',
      unset: 'Esta p\u00e1gina no env\u00eda resultados. Impr\u00edmelos o c\u00f3pialos como texto para tu profesor.',
      copy: 'Copiar los resultados como texto', copied: 'Copiado.', print: 'Imprimir los resultados',
      sound: 'Sonido: {name}', video: 'V\u00eddeo: {name}', offline: 'sin conexi\u00f3n',
      showAll: 'Mostrar las respuestas', tryAgain: 'Intentarlo de nuevo', newStudent: 'Soy otro alumno'
    }
  };
  var lang = (document.documentElement.lang || '').toLowerCase().split('-')[0];

  /* word(key, values) from a table { en: {...}, pt: {...} } in the page's
     language, English otherwise; elements with the attribute get their word. */
  function words(table, attribute) {
    var own = table[lang] || table.en;
    function word(key, values) {
      return String(own[key]).replace(/\{(\w+)\}/g, function (all, name) {
        return values && name in values ? String(values[name]) : all;
      });
    }
    if (attribute) {
      document.querySelectorAll('[' + attribute + ']').forEach(function (element) {
        element.textContent = word(element.getAttribute(attribute));
      });
    }
    return word;
  }
  var t = words(WORDS);

  var scratch = document.createElement('template');
  function plainText(html) {
    scratch.innerHTML = String(html).replace(/<br\s*\/?>/gi, ' ');
    return scratch.content.textContent.replace(/\s+/g, ' ').trim();
  }

  function percent(part, whole) {
    return Math.round(whole ? 100 * part / whole : 100) + '%';
  }

  /* A short fingerprint of a text, so that a regenerated page with other
     content does not pick up the progress kept for the old one. */
  function hash(text) {
    var h = 7;
    text = String(text);
    for (var i = 0; i < text.length; i++) h = (Math.imul(h, 31) + text.charCodeAt(i)) | 0;
    return (h >>> 0).toString(36);
  }

  /* Local storage that may be switched off or full: nothing kept then. */
  function get(key) { try { return localStorage.getItem(key); } catch (e) { return null; } }
  function put(key, value) {
    try {
      if (value === null) localStorage.removeItem(key);
      else localStorage.setItem(key, value);
    } catch (e) { /* not kept */ }
  }

  /* On a shared computer kept progress belongs to the student who made it.
     The browser remembers who works now (the name given in a results form,
     or a fresh "new student" mark, which starts with "#"); each student's
     progress is kept apart, and the work nobody has named yet is kept
     without a name until a student names it. */
  var STUDENT = 'kio:student';
  function student() { return get(STUDENT) || ''; }
  var kept = null;

  /* Progress kept in the browser's local storage, one entry per page file,
     content and student. Storage may be switched off or full: the page then
     works as before, without keeping anything. */
  function store(kind, content) {
    var base = 'kio:' + kind + ':' + location.pathname + ':' + hash(content);
    function key(who) { return who ? base + ':' + who : base; }
    kept = {
      load: function () {
        try { return JSON.parse(get(key(student())) || 'null'); } catch (e) { return null; }
      },
      save: function (state) { put(key(student()), JSON.stringify(state)); },
      clear: function () { put(key(student()), null); },
      /* The student now working is `who`: work nobody named becomes theirs;
         a named student's work stays theirs, and the page starts again with
         what `who` kept (nothing for a new student). */
      become: function (who) {
        var now = student();
        if (who === now) return;
        var mine = get(key(now));
        put(STUDENT, who);
        var unnamed = !now || now.charAt(0) === '#';
        if (unnamed && who.charAt(0) !== '#' && (mine === null || get(key(who)) === null)) {
          if (mine !== null) {
            put(key(who), mine);
            put(key(now), null);
          }
          return;
        }
        location.reload();
      }
    };
    return kept;
  }

  /* Says a text in a live region, also when it is the same text again. */
  function say(element, text) {
    if (element.textContent === text) element.textContent = '';
    element.textContent = text;
  }

  function baseName(src) {
    var name = String(src).split(/[?#]/)[0].split('/').pop() || '';
    try { name = decodeURIComponent(name); } catch (e) { /* a stray "%" stays as it is */ }
    return name.replace(/\.[^.]*$/, '').replace(/[_\-.+]+/g, ' ').replace(/\s+/g, ' ').trim();
  }

  /* Pictures without a text alternative get one from their file name. */
  function describePictures(root) {
    root.querySelectorAll('img:not([alt])').forEach(function (img) {
      img.setAttribute('alt', baseName(img.getAttribute('src') || ''));
    });
  }

  var AUDIO = /\.(mp3|wav|ogg|oga|m4a|aac|flac|opus)$/i;
  var VIDEO = /\.(mp4|m4v|webm|ogv|mov)$/i;

  /* Sound and video embeds of the formats browsers play become native,
     named players; other embeds stay as they are. */
  function upgradeMedia(root) {
    root.querySelectorAll('embed[src]').forEach(function (embed) {
      var src = embed.getAttribute('src');
      var path = src.split(/[?#]/)[0];
      var kind = AUDIO.test(path) ? 'audio' : VIDEO.test(path) ? 'video' : '';
      if (!kind) return;
      var player = document.createElement(kind);
      player.controls = true;
      player.preload = 'metadata';
      player.src = src;
      player.setAttribute('aria-label', t(kind === 'audio' ? 'sound' : 'video', { name: baseName(src) }));
      if (kind === 'video') {
        ['width', 'height'].forEach(function (size) {
          var value = parseInt(embed.getAttribute(size), 10);
          if (value > 0) player.setAttribute(size, String(value));
        });
      }
      embed.replaceWith(player);
    });
  }

  /* Fills in what the page shows: title, instructions, the buttons' words,
     the accessibility helpers on the text. Returns the file name. */
  function page(text) {
    var fileName = document.title;
    byId('title').textContent = fileName.replace(/\.html?$/i, '');
    var instructions = byId('instructions');
    if (typeof kioInstructions === 'string' && kioInstructions.trim() !== '*') {
      instructions.innerHTML = kioInstructions;
      describePictures(instructions);
      upgradeMedia(instructions);
    }
    describePictures(text);
    upgradeMedia(text);
    byId('print').addEventListener('click', function () { window.print(); });
    words(WORDS, 'data-kio-word');
    return fileName;
  }

  function button(word, act) {
    var b = document.createElement('button');
    b.type = 'button';
    b.textContent = t(word);
    b.addEventListener('click', act);
    return b;
  }

  /* The activity is done: the template's doneText, shown once, and a way to
     try it again (the kept progress cleared). */
  function finish(scroll) {
    var done = byId('done');
    if (!done.innerHTML) {
      done.innerHTML = byId('doneText').innerHTML;
      if (kept) {
        var again = button('tryAgain', function () { kept.clear(); location.reload(); });
        again.id = 'tryAgain';
        var box = document.createElement('p');
        box.className = 'kio-again';
        box.append(again);
        done.after(box);
      }
    }
    if (scroll) done.scrollIntoView({ block: 'nearest' });
  }

  /* The start-again button: clears the kept progress and starts afresh.
     When the page opens with kept progress, a button at the top lets
     another student start clean, the kept work left for its owner. */
  function restart(kept) {
    byId('restart').hidden = false;
    byId('restart').addEventListener('click', function () {
      if (!window.confirm(t('restartAsk'))) return;
      kept.clear();
      location.reload();
    });
    if (kept.load() === null) return;
    var other = button('newStudent', function () {
      kept.become('#' + Date.now().toString(36) + Math.random().toString(36).slice(2, 6));
    });
    other.id = 'newStudent';
    byId('title').parentNode.appendChild(other);
  }

  /* Whether an address can be a real receiver: not when it is missing, not
     a web address, or one of the names kept for examples (example.org,
     *.invalid ...), as the shipped configuration holds until the teacher
     sets one. */
  function configured(address) {
    var url;
    try { url = new URL(address); } catch (e) { return false; }
    if (url.protocol !== 'http:' && url.protocol !== 'https:') return false;
    return !/(^|\.)(example\.(com|net|org)|example|invalid|test)$/i.test(url.hostname);
  }

  function two(n) { return (n < 10 ? '0' : '') + n; }

  /* The results form: name, file, score, details, date and time, filled in
     whenever the activity changes and as soon as the form opens; sent in the
     background to the configured address, which answers any 2xx when the
     results arrived. summary() gives { score, details }. */
  function results(activity, fileName, summary) {
    var form = byId('results');
    var state = byId('sendState');
    var copy = byId('copy');
    var submit = form.querySelector('button[type=submit]');
    var printout = byId('printout');
    var address = form.getAttribute('action');
    var fields = ['fName', 'fFile', 'fScore', 'fDetails', 'fDate', 'fTime'];
    form.elements.activity.value = activity;

    var reported = '';
    function report(kind, text) {
      reported = text;
      state.setAttribute('data-state', kind);
      say(state, text);
      if (kind === 'failed' || kind === 'unset') copy.hidden = false;
    }

    function update() {
      var now = new Date();
      var s = summary();
      byId('fFile').value = fileName;
      byId('fScore').value = s.score;
      byId('fDetails').value = s.details;
      byId('fDate').value = now.getFullYear() + '-' + two(now.getMonth() + 1) + '-' + two(now.getDate());
      byId('fTime').value = two(now.getHours()) + ':' + two(now.getMinutes());
      var list = document.createElement('dl');
      fields.forEach(function (id) {
        var term = document.createElement('dt');
        term.textContent = document.querySelector('label[for=' + id + ']').textContent;
        var value = document.createElement('dd');
        value.textContent = byId(id).value || '-';
        list.append(term, value);
      });
      printout.replaceChildren(list);
    }

    function asText() {
      update();
      return fields.map(function (id) {
        return document.querySelector('label[for=' + id + ']').textContent + ': ' + byId(id).value;
      }).join('\n');
    }

    if (!configured(address)) {
      submit.remove();
      report('unset', t('unset'));
    }
    byId('send').addEventListener('toggle', update);
    byId('fName').addEventListener('input', update);
    /* A name given here tells whose progress this is (see store). */
    var who = student();
    if (who && who.charAt(0) !== '#') byId('fName').value = who;
    byId('fName').addEventListener('change', function () {
      var name = byId('fName').value.trim();
      if (name && kept) kept.become(name);
    });
    byId('printResults').hidden = false;
    byId('printResults').addEventListener('click', function () { update(); window.print(); });
    window.addEventListener('beforeprint', update);

    copy.addEventListener('click', function () {
      var text = asText();
      var done = function () { say(state, (reported ? reported + ' ' : '') + t('copied')); };
      /* Without the clipboard interface: the older copy command, and when
         that fails too, the text shown selected for the student to copy. */
      var fallback = function () {
        var area = document.createElement('textarea');
        area.value = text;
        area.readOnly = true;
        area.rows = 6;
        area.setAttribute('aria-label', t('copy'));
        copy.after(area);
        area.select();
        var copied = false;
        try { copied = document.execCommand('copy'); } catch (e) { copied = false; }
        if (copied) {
          area.remove();
          done();
        }
      };
      if (navigator.clipboard && navigator.clipboard.writeText) navigator.clipboard.writeText(text).then(done, fallback);
      else fallback();
    });

    // One token per result: a resend of the same result carries the same
    // token, so that the receiver keeps it once.
    var sentFields = '', token = '';
    function newToken() {
      var bytes = new Uint8Array(12), out = '';
      if (window.crypto && window.crypto.getRandomValues) window.crypto.getRandomValues(bytes);
      else for (var i = 0; i < bytes.length; i++) bytes[i] = Math.floor(Math.random() * 256);
      for (var j = 0; j < bytes.length; j++) out += (bytes[j] < 16 ? '0' : '') + bytes[j].toString(16);
      return out;
    }

    form.addEventListener('submit', function (event) {
      event.preventDefault();
      update();
      if (!configured(address)) return;
      var fields = new URLSearchParams(new FormData(form));
      if (fields.toString() !== sentFields) {
        sentFields = fields.toString();
        token = newToken();
      }
      fields.set('id', token);
      report('sending', t('sending'));
      submit.disabled = true;
      var stop = typeof AbortController === 'function' ? new AbortController() : null;
      var timer = setTimeout(function () { if (stop) stop.abort(); }, 20000);
      fetch(address, {
        method: 'POST',
        mode: 'cors',
        body: fields,
        signal: stop ? stop.signal : undefined
      }).then(function (answer) {
        if (answer.ok) report('sent', t('sent'));
        else report('failed', t('failed', { why: answer.status + ' ' + answer.statusText }));
      }, function () {
        report('failed', t('failed', { why: t('offline') }));
      }).then(function () {
        clearTimeout(timer);
        submit.disabled = false;
      });
    });
    update();
    return { update: update };
  }

  return {
    t: t, words: words, plainText: plainText, percent: percent,
    hash: hash, store: store, say: say, describePictures: describePictures, upgradeMedia: upgradeMedia,
    page: page, finish: finish, restart: restart, configured: configured, results: results
  };
})();
