/* Orders shuffled and kept (Memory, Sequence): KioKit gains shuffle and
   permutation. */
(function (kit) {
  'use strict';

  /* The numbers 0 .. n - 1 in a random order. */
  function shuffle(n) {
    var order = [];
    for (var k = 0; k < n; k++) order.push(k);
    for (var i = n - 1; i > 0; i--) {
      var j = Math.floor(Math.random() * (i + 1));
      var swap = order[i]; order[i] = order[j]; order[j] = swap;
    }
    return order;
  }

  /* Whether a kept order holds each of 0 .. n - 1 once. */
  function permutation(order, n) {
    return Array.isArray(order) && order.length === n &&
      order.slice().sort(function (a, b) { return a - b; }).every(function (k, i) { return k === i; });
  }

  kit.shuffle = shuffle;
  kit.permutation = permutation;
})(KioKit);
