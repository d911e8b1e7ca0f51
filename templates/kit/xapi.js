/* Student-page kit, xAPI part: the results go to a learning record store
   as xAPI statements instead of the form post. The page writer puts it at
   the end of an activity page when the configured results address is an
   xAPI endpoint (ending in /xapi/ or /xapi/statements). The kit's Send
   stays as it is (sending, sent or not sent, copy, the same token on a
   resend); only its request changes: the fields it would post become one
   POST of statements. The student is the name typed in the form, as an
   account of the site the page comes from; the activity is the page's own
   address. */
(function () {
  'use strict';
  var form = document.getElementById('results');
  if (!form || typeof fetch !== 'function') return;
  var address = form.getAttribute('action');
  var endpoint = address.replace(/[?#].*$/, '').replace(/(\/statements)?\/?$/i, '/');
  var VERBS = 'http://adlnet.gov/expapi/verbs/';
  var ACTIVITIES = 'http://adlnet.gov/expapi/activities/';
  var lang = document.documentElement.lang || '';
  if (!/^[A-Za-z]{2,8}(-[A-Za-z0-9]{1,8})*$/.test(lang)) lang = 'und';

  function uuid() {
    var b = new Uint8Array(16), hex = '';
    if (window.crypto && window.crypto.getRandomValues) window.crypto.getRandomValues(b);
    else for (var i = 0; i < 16; i++) b[i] = Math.floor(Math.random() * 256);
    b[6] = (b[6] & 15) | 64;
    b[8] = (b[8] & 63) | 128;
    for (var j = 0; j < 16; j++) hex += (b[j] < 16 ? '0' : '') + b[j].toString(16);
    return hex.replace(/^(.{8})(.{4})(.{4})(.{4})/, '$1-$2-$3-$4-');
  }

  function named(text) {
    var map = {};
    map[lang] = text;
    return map;
  }
  function verb(name) { return { id: VERBS + name, display: { 'en-US': name } }; }

  /* The page's address (a page opened from a file has the record store's
     site as its account's home). */
  var here = location.href.replace(/[?#].*$/, '');
  var home = /^https?:$/.test(location.protocol) ? location.origin : new URL(endpoint, location.href).origin;

  /* The statements of one result, from the fields the kit would post. */
  function statements(fields) {
    var name = String(fields.get('name') || '').trim();
    var actor = { objectType: 'Agent', name: name, account: { homePage: home, name: name } };
    var when = new Date().toISOString();
    var kind = String(fields.get('activity') || '');
    var page = {
      objectType: 'Activity', id: here,
      definition: { name: named(String(fields.get('file') || document.title)), type: ACTIVITIES + 'assessment' }
    };
    var parent = { contextActivities: { parent: [{ objectType: 'Activity', id: here }] }, platform: 'KIO' };
    var list = [];
    function add(name, object, result, context) {
      var s = { id: uuid(), actor: actor, verb: verb(name), object: object, timestamp: when };
      if (result) s.result = result;
      s.context = context || { platform: 'KIO' };
      list.push(s);
    }

    /* The score as the page shows it: 75% (or 3/4); none before any attempt. */
    var shown = String(fields.get('score') || '');
    var found = /^(\d+(\.\d+)?)%?$/.exec(shown);
    var ratio = /^(\d+)\/(\d+)$/.exec(shown);
    var raw = found ? Math.min(100, Number(found[1])) : ratio && Number(ratio[2]) ?
      Math.min(100, Math.round(100 * Number(ratio[1]) / Number(ratio[2]))) : null;
    var score = raw === null ? null : { scaled: raw / 100, raw: raw, min: 0, max: 100 };
    var result = function (extra) {
      var r = {};
      if (score) r.score = score;
      for (var key in extra) r[key] = extra[key];
      return r;
    };

    /* The answers: lines "n. answer sign" of the details (sign + or ~
       right, - or ? not, none when not tried yet). Pages whose details list
       no answers send what follows their first line (Eclipse's guesses,
       Sequence's order) as one answer of the page, once tried. */
    var details = String(fields.get('details') || '').split('\n');
    var items = 0;
    details.slice(1).forEach(function (line) {
      var parts = /^(\d+)\. (.*?) ?([+~?-])?( \*)?$/.exec(line);
      if (!parts) return;
      items++;
      if (!parts[3]) return;
      var typed = kind === 'cloze' || kind === 'dialogical';
      add('answered', {
        objectType: 'Activity', id: here + '#answer-' + parts[1],
        definition: {
          name: named(String(fields.get('file') || '') + ' ' + parts[1]),
          type: ACTIVITIES + 'cmi.interaction', interactionType: typed ? 'fill-in' : 'other'
        }
      }, { response: parts[2], success: parts[3] === '+' || parts[3] === '~' }, parent);
    });
    var rest = details.slice(1).join('\n').trim();
    if (!items && rest && raw !== null) add('answered', page, { response: rest });

    /* The page: completed, and passed or failed (half the score or more),
       once it is done; before that, attempted with the score so far. */
    var done = document.getElementById('done');
    if (done && done.innerHTML) {
      add('completed', page, result({ completion: true }));
      add(raw === null || raw >= 50 ? 'passed' : 'failed', page, result({ success: raw === null || raw >= 50, completion: true }));
    } else {
      add('attempted', page, result({ completion: false }));
    }
    return list;
  }

  /* The kit posts the fields with the token of the result; a resend of the
     same result sends the same statements (the same ids), which the record
     store keeps once. */
  var sending = { token: null, body: '' };
  var original = window.fetch;
  window.fetch = function (target, options) {
    if (target !== address || !options || !(options.body instanceof URLSearchParams)) {
      return original.apply(this, arguments);
    }
    var token = options.body.get('id');
    if (token === null || token !== sending.token) {
      sending = { token: token, body: JSON.stringify(statements(options.body)) };
    }
    return original.call(window, endpoint + 'statements', {
      method: 'POST',
      mode: 'cors',
      headers: { 'Content-Type': 'application/json', 'X-Experience-API-Version': '1.0.3' },
      body: sending.body,
      signal: options.signal
    });
  };
})();
