/* What a Cloze gap accepts: KioKit gains answers. */
(function (kit) {
  'use strict';

  /* The answers a gap accepts: its whole text, and each alternative when the
     text is written "don't/do not". */
  function answers(text) {
    var list = [String(text)];
    var parts = String(text).split('/').map(function (part) { return part.trim(); });
    if (parts.length > 1 && parts.every(function (part) { return part !== ''; })) list = list.concat(parts);
    return list;
  }

  kit.answers = answers;
})(KioKit);
