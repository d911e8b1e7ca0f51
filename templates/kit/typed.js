/* Typed answers compared (Cloze, Eclipse, Dialogical): KioKit gains fold,
   bare and match. */
(function (kit) {
  'use strict';

  /* Typed and expected answers are compared in this folded form: letter
     case, the kind of apostrophe or quote and the blanks around and between
     words do not matter; accents and every other letter do. */
  function fold(text) {
    return String(text).normalize('NFC')
      .replace(/[\u2018\u2019\u201A\u201B\u2032\u00B4\u0060]/g, "'")
      .replace(/[\u201C\u201D\u201E\u201F\u2033]/g, '"')
      .replace(/\s+/g, ' ')
      .trim()
      .toLowerCase();
  }

  /* The folded form without accents: for answers whose accents the teacher
     lets pass, and to tell a student that only the accents are wrong. */
  function bare(text) {
    return fold(text).normalize('NFD').replace(/\p{M}/gu, '').normalize('NFC');
  }

  /* 'empty', 'right', 'accents' (right but for the accents) or 'wrong'.
     With anyAccents the accents do not count at all. */
  function match(typed, accepted, anyAccents) {
    var key = fold(typed);
    if (key === '') return 'empty';
    var near = false;
    for (var i = 0; i < accepted.length; i++) {
      if (fold(accepted[i]) === key) return 'right';
      if (bare(accepted[i]) === bare(key)) near = true;
    }
    return near ? (anyAccents ? 'right' : 'accents') : 'wrong';
  }

  kit.fold = fold;
  kit.bare = bare;
  kit.match = match;
})(KioKit);
