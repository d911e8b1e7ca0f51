/* Student-page kit, platform part: reports to a learning platform (SCORM
   1.2 or SCORM 2004) when the page runs inside one. The packager puts it at
   the end of every activity page of a platform package, after the setting
   KioScormSettings = { version: '1.2' or '2004', mastery: percent }. It
   reads what the kit shows (the results form's score and details, the done
   message), so the activities know nothing of it; without a platform it
   does nothing at all. */
(function () {
  'use strict';
  var settings = window.KioScormSettings || {};
  var v2004 = settings.version === '2004';
  var NAME = v2004 ? 'API_1484_11' : 'API';
  var byId = function (id) { return document.getElementById(id); };

  /* The platform's object, the standard way: this window and its parents,
     then the window that opened this one (a menu's pop-up) and its
     parents; a bounded number of levels, other sites' windows skipped. */
  function climb(win) {
    for (var level = 0; win && level < 12; level++) {
      try {
        if (win[NAME]) return win[NAME];
        if (win.parent === win) return null;
        win = win.parent;
      } catch (e) { return null; }
    }
    return null;
  }
  function findPlatform() {
    /* A page shown inside another packaged page (a list item's page) leaves
       the reporting to that page. */
    try { if (window.parent !== window && window.parent.KioScormSettings) return null; } catch (e) { /* another site */ }
    var win = window;
    for (var level = 0; win && level < 4; level++) {
      var found = climb(win);
      if (found) return found;
      try { win = win.top.opener; } catch (e) { return null; }
    }
    return null;
  }

  var api = findPlatform();
  if (!api) return;
  var CALLS = v2004
    ? { start: 'Initialize', get: 'GetValue', set: 'SetValue', commit: 'Commit', end: 'Terminate' }
    : { start: 'LMSInitialize', get: 'LMSGetValue', set: 'LMSSetValue', commit: 'LMSCommit', end: 'LMSFinish' };
  function call(name, a, b) {
    try { return String(b === undefined ? api[CALLS[name]](a) : api[CALLS[name]](a, b)); } catch (e) { return ''; }
  }
  function set(element, value) { call('set', (v2004 ? 'cmi.' : 'cmi.core.') + element, String(value)); }
  if (call('start', '') !== 'true') return;

  var began = Date.now();
  /* The mastery score: the platform's when it has one, else the teacher's. */
  var mastery = Number(settings.mastery);
  if (!(mastery >= 0 && mastery <= 100)) mastery = 50;
  var given = call('get', v2004 ? 'cmi.scaled_passing_score' : 'cmi.student_data.mastery_score');
  if (given !== '' && !isNaN(Number(given))) mastery = v2004 ? Number(given) * 100 : Number(given);

  var status = call('get', v2004 ? 'cmi.completion_status' : 'cmi.core.lesson_status');
  if (status === 'not attempted' || status === 'unknown' || status === '') {
    set(v2004 ? 'completion_status' : 'lesson_status', 'incomplete');
  }

  var WORDS = {
    en: { platform: 'Your results go to your learning platform.', sent: 'Sent to your learning platform.',
      send: 'Send to the platform' },
    pt: { platform: 'Seus resultados v\u00e3o para a sua plataforma de ensino.',
      sent: 'Enviado para a sua plataforma de ensino.', send: 'Enviar para a plataforma' },
    es: { platform: 'Tus resultados van a tu plataforma de aprendizaje.',
      sent: 'Enviado a tu plataforma de aprendizaje.', send: 'Enviar a la plataforma' }
  };
  var words = WORDS[(document.documentElement.lang || '').toLowerCase().split('-')[0]] || WORDS.en;

  function score() {
    var field = byId('fScore');
    var found = /\d+(\.\d+)?/.exec(field ? field.value : '');
    return found ? Math.min(100, Number(found[0])) : null;
  }

  function reportScore() {
    var raw = score();
    if (raw === null) return null;
    set('score.min', 0);
    set('score.max', 100);
    set('score.raw', raw);
    if (v2004) set('score.scaled', raw / 100);
    return raw;
  }

  /* Each answer the details list (lines "n. answer sign", sign + or ~ right,
     - or ? not) as an interaction, once. */
  var answersSent = false;
  function reportAnswers() {
    if (answersSent) return;
    answersSent = true;
    var details = byId('fDetails');
    var n = 0;
    (details ? details.value : '').split('\n').slice(1).forEach(function (line) {
      var parts = /^(\d+)\. (.*?) ?([+~?-])?( \*)?$/.exec(line);
      if (!parts || !parts[3]) return;
      var at = 'cmi.interactions.' + n++ + '.';
      var answer = parts[2].replace(/\[,\]|[{}]/g, ' ').slice(0, 250);
      call('set', at + 'id', 'answer-' + parts[1]);
      call('set', at + 'type', 'fill-in');
      call('set', at + (v2004 ? 'learner_response' : 'student_response'), answer);
      call('set', at + 'result', parts[3] === '+' || parts[3] === '~' ? 'correct' : v2004 ? 'incorrect' : 'wrong');
    });
  }

  /* The activity is done: score, passed or failed, the answers. */
  var done = false;
  function finished() {
    if (done) return;
    done = true;
    var raw = reportScore();
    var passed = raw === null || raw >= mastery;
    if (v2004) {
      set('completion_status', 'completed');
      set('success_status', passed ? 'passed' : 'failed');
    } else {
      set('lesson_status', passed ? 'passed' : 'failed');
    }
    reportAnswers();
    call('commit', '');
  }
  var doneBox = byId('done');
  function watchDone() { if (doneBox && doneBox.innerHTML) setTimeout(finished, 0); }
  if (doneBox) new MutationObserver(watchDone).observe(doneBox, { childList: true, subtree: true, characterData: true });
  watchDone();

  function two(n) { return (n < 10 ? '0' : '') + n; }
  function sessionTime() {
    var seconds = (Date.now() - began) / 1000;
    var h = Math.min(9999, Math.floor(seconds / 3600)), m = Math.floor(seconds % 3600 / 60);
    var s = (seconds % 60).toFixed(2);
    if (v2004) return 'PT' + h + 'H' + m + 'M' + s + 'S';
    return two(h) + ':' + two(m) + ':' + (s < 10 ? '0' : '') + s;
  }

  /* Leaving the page: what there is so far, the time, and the end, once. */
  var ended = false;
  function leave() {
    if (ended) return;
    ended = true;
    /* Done a moment ago: the report of the end has not run yet. */
    if (!done && doneBox && doneBox.innerHTML) finished();
    if (!done) {
      reportScore();
      reportAnswers();
      set('exit', 'suspend');
    } else if (v2004) {
      set('exit', 'normal');
    }
    set('session_time', sessionTime());
    call('commit', '');
    call('end', '');
  }
  window.addEventListener('pagehide', leave);
  window.addEventListener('beforeunload', leave);

  /* The results form sends to the platform: its state says so, and Send
     (made when the page had no address to send to) hands the results over. */
  var form = byId('results');
  var state = byId('sendState');
  if (!form || !state) return;
  state.textContent = words.platform;
  state.setAttribute('data-state', 'platform');
  /* The platform knows the student: no name is needed to send. */
  form.noValidate = true;
  var copy = byId('copy');
  if (copy) copy.hidden = true;
  if (!form.querySelector('button[type=submit]')) {
    var send = document.createElement('button');
    send.type = 'submit';
    send.textContent = words.send;
    state.before(send);
  }
  document.addEventListener('submit', function (event) {
    if (event.target !== form) return;
    event.preventDefault();
    event.stopImmediatePropagation();
    if (!ended) {
      if (!done) reportScore();
      call('commit', '');
    }
    state.textContent = words.sent;
    state.setAttribute('data-state', 'sent');
  }, true);
})();
