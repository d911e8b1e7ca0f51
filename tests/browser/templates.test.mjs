// The shipped Cloze and Eclipse templates against the template filler's
// rules: the filler replaces placeholders and geometry numbers blindly,
// everywhere, and cuts the page at its two data markers by position.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import vm from 'node:vm';
import { pathToFileURL } from 'node:url';
import { DESKTOP, PHONE, closeClean, launchBrowser, openPage, scriptsOf, screenshot, templateFolder } from './lib/harness.mjs';

const RESULTS = 'https://kio-results.invalid/php2/envprint.php';

// How often each text that the filler replaces appears in each template,
// outside the sample data between the markers. Anything not listed must not
// appear at all.
const uses = {
  common: {
    170: 1, 600: 1, 81: 1, 399: 1, 180: 0, 190: 0, 610: 0,
    't_i_t_l_e': 2, 'i_n_s_t_r_u': 1, 'l_a_n_g': 1,
    '#CAC5E4': 1, '#FFFFCC': 1, '#474792': 1, '#F0E8F0': 1, '#000001': 1, '#000002': 1, '#FFFFFD': 1,
    'Verdana': 1, 'Arial': 1, 'Helvetica': 1, '13pt': 1, '14pt': 1, '12pt': 1,
    'Atividade concluida': 1, 'p_e_r_f_o_r_m_a_n_c_e': 2, 't_r_i_a_l_s': 1,
    'p_r_i_n_t': 1, 's_e_n_d': 1, 'i_f_o_n_l_i_n_e': 1, 'En_via': 1,
    'n_a_m_e': 1, 'f_i_l_e': 1, 'd_e_t_a_i_l_s': 1, 'd_a_t_e': 1, 't_i_m_e': 1,
    [RESULTS]: 1, 'php2/envprint.php': 1,
    'RESPOSTA(S):': 0, 'd_o_n_e': 0, 'r_i_g_h_t': 0, 'w_o_r_d_s:': 0, 'a_c_e_r_t_o_u': 0,
    'Clique em Avanca para continuar': 0, 'f_i_m': 0, 'p_e_r_g_u_n_t_a_s:': 0, 's_e_g_m_e_n_t_s': 0,
    'f_r_e_e': 0, 'a_s_k_n_u_m': 0, 't_y_p_e': 0, 'Escreva_menor': 0, '2     ;': 0, 'var Total = 5;': 0,
  },
  cloze: { 'RESPOSTA(S):': 1, 'd_o_n_e': 1, 'r_i_g_h_t': 1 },
  eclipse: { 'w_o_r_d_s:': 2, 'a_c_e_r_t_o_u': 1 },
  multi: { 'd_o_n_e': 1, 'r_i_g_h_t': 1, '2     ;': 1 },
  dial: { 'd_o_n_e': 1, 'r_i_g_h_t': 1, '2     ;': 1 },
};

const sampleData = {
  cloze: "palavras[0]=' Um ';\r\npalavras[1]='p\u00e3o';\r\npalavras[2]=' e <b>dois</b>&nbsp;&nbsp;';\r\n" +
    "palavras[3]='caf\u00e9s';\r\npalavras[4]='.<br>Fim.';\r\nPalavrasDadas[0]=1;\r\nPalavrasDadas[1]=3;\r\n",
  eclipse: ['Um', ' ', 'p\u00e3o', ' ', 'e', ' ', '<', 'b', '>', 'dois', '<', '/', 'b', '>', '\\\\', "\\'", '!']
    .map((t, i) => `palavras[${i}]='${t}';\r\n`).join('') +
    ['b', 'b', 'br', 'e'].map((t, i) => `PalavrasDadas[${i}]='${t}';\r\n`).join(''),
  multi: "\r\nTexto[0] = '#';\r\n\r\n\r\nQuestao[0] = 'P\u00e3o?<br> <br> <br> ';\r\n\r\n\r\nnr[0] = 2;\r\n\r\n\r\n" +
    "Avalia[0] = 'S';\r\n\r\n\r\nGolpe[0] = new Array();\r\nGolpe[0][0] = 'sim';\r\nGolpe[0][1] = 'n\\'\u00e3o';\r\n\r\n" +
    "\r\n\r\n\r\n\r\nInsegura[0] = new Array();\r\nInsegura[0][0] = 1;\r\nInsegura[0][1] = 0;\r\n\r\n\r\n" +
    "Feedback[0] = new Array();\r\nFeedback[0][0] = 'Bom';\r\nFeedback[0][1] = 'N\u00e3o<br> <br> <br> ';\r\n\r\n\r\n" +
    "Errada[0] = ' ';\r\n",
  dial: "\r\nTexto[0] = '#';\r\n\r\n\r\nQuestao[0] = 'P\u00e3o?<br> <br> <br> ';\r\n\r\n\r\nnr[0] = 1;\r\n\r\n\r\n" +
    "nf[0] = 0;\r\n\r\n\r\nAvalia[0] = 'S';\r\n\r\n\r\nResposta[0] = new Array();\r\nResposta[0][0] = 'n\\'kq4k';\r\n\r\n" +
    "\r\n\r\nCerta[0] = new Array();\r\nCerta[0][0] = 'Bom<br> <br> <br> ';\r\n\r\n\r\n" +
    "Errada[0] = new Array();\r\nErrada[0][0] = ' <br> <br> <br> ';\r\n",
};

// What the sample data must come to in each page's script.
const sampleCounts = {
  cloze: (c) => [c.palavras.length, c.PalavrasDadas.length, 5, 2],
  eclipse: (c) => [c.palavras.length, c.PalavrasDadas.length, 17, 4],
  multi: (c) => [c.Golpe[0].length, c.Insegura[0].length, 2, 2],
  dial: (c) => [c.Resposta[0].length, c.Errada[0].length, 1, 1],
};

const kinds = ['cloze', 'eclipse', 'multi', 'dial'];
const read = (kind) => fs.readFileSync(path.join(templateFolder, `tmplate_${kind}.htm`), 'latin1');

// The cut made at generation: the start marker and four characters after
// it, the data, then everything from two characters before the end marker.
function cut(text, data) {
  const p1 = text.indexOf('//INICIA DADOS');
  const p2 = text.indexOf('//TERMINA DADOS');
  return text.slice(0, p1 + 18) + data + text.slice(p2 - 2);
}

function occurrences(text, what) {
  return text.split(what).length - 1;
}

test('templates are plain ASCII declaring windows-1252, with one of each data marker', () => {
  for (const kind of kinds) {
    const text = read(kind);
    assert.ok(/^[\x00-\x7f]*$/.test(text), `${kind}: ASCII only`);
    assert.match(text.slice(0, 1024), /<meta charset="windows-1252">/i);
    assert.equal(occurrences(text, '//INICIA DADOS'), 1, kind);
    assert.equal(occurrences(text, '//TERMINA DADOS'), 1, kind);
    assert.ok(text.length <= 40003, `${kind}: within the filler's 40,003 bytes`);
  }
});

test('every text the filler replaces appears only where a replacement is wanted', () => {
  for (const kind of kinds) {
    const outside = cut(read(kind), '');
    const expected = { ...uses.common, ...uses[kind] };
    for (const [what, times] of Object.entries(expected)) {
      assert.equal(occurrences(outside, what), times, `${kind}: ${JSON.stringify(what)}`);
    }
  }
});

test('the data lands between the markers as whole statements, whatever the line ends', async () => {
  for (const kind of kinds) {
    for (const [ends, text] of [['LF', read(kind)], ['CRLF', read(kind).replace(/\r?\n/g, '\r\n')]]) {
      const page = cut(text, sampleData[kind]);
      const scripts = scriptsOf(page);
      for (const script of scripts) assert.doesNotThrow(() => new Function(script), `${kind}, ${ends}`);
      const data = scripts.find((s) => s.includes('//INICIA DADOS'));
      const context = {};
      vm.runInNewContext(data, context);
      const [a, b, wantA, wantB] = sampleCounts[kind](context);
      assert.deepEqual([a, b], [wantA, wantB], `${kind}, ${ends}`);
    }
  }
});

// Settings and student texts a teacher might well have: full-width or
// negative geometry, fonts with blanks, accents and quotes in the words.
const unusual = {
  170: '780', 600: '-30', 81: '140', 399: '340',
  't_i_t_l_e': 'li\u00e7\u00e3o 3.htm',
  'i_n_s_t_r_u': 'Leia e \\"complete\\": <b>n\\\'importe</b> <br> qual',
  '#CAC5E4': '#0B3D2E', '#FFFFCC': '#FFFFFF', '#474792': '#7A1F1F', '#F0E8F0': '#DDEEFF',
  '#000001': '#FFFFFF', '#000002': '#101010', '#FFFFFD': '#FFFF00',
  'Verdana': 'Times New Roman', 'Arial': 'Courier New', 'Helvetica': 'Comic Sans MS',
  '13pt': '20pt', '14pt': '11pt', '12pt': '16pt',
  'Atividade concluida': 'Muito bem, it\'s "done" <br> <b>fim</b>',
  'p_e_r_f_o_r_m_a_n_c_e': 'Desempenho', 't_r_i_a_l_s': 'Tentativas', 'p_r_i_n_t': 'Imprimir',
  's_e_n_d': 'Enviar resultado', 'i_f_o_n_l_i_n_e': 'se estiver conectado \u00e0 Internet', 'En_via': 'Enviar',
  'n_a_m_e': 'Nome', 'f_i_l_e': 'Arquivo', 'd_e_t_a_i_l_s': 'Detalhes', 'd_a_t_e': 'Data', 't_i_m_e': 'Hora',
  'RESPOSTA(S):': 'RESPOSTA(S):', 'd_o_n_e': 'Pronto', 'r_i_g_h_t': 'Certas', 'w_o_r_d_s:': 'Palavras:',
  'a_c_e_r_t_o_u': "Acertos d'agora",
  [RESULTS]: 'http://127.0.0.1:9/results',
};

let browser;
let folder;
before(async () => {
  browser = await launchBrowser();
  folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kio-unusual-'));
});
after(async () => { await browser?.close(); });

test('filled with unusual settings, each page still runs and keeps its regions in proportion', async () => {
  for (const kind of kinds) {
    let text = read(kind);
    for (const [what, value] of Object.entries(unusual)) text = text.split(what).join(value);
    text = cut(text, sampleData[kind]);
    for (const script of scriptsOf(text)) assert.doesNotThrow(() => new Function(script), kind);
    const file = path.join(folder, `${kind}.htm`);
    fs.writeFileSync(file, Buffer.from(text, 'latin1'));
    for (const [name, size] of [['desktop', DESKTOP], ['phone', PHONE]]) {
      const page = await openPage(browser, pathToFileURL(file).href, size);
      const seen = await page.evaluate(() => ({
        title: document.getElementById('title').textContent,
        instructions: document.getElementById('instructions').innerHTML,
        side: document.querySelector('.bar').getBoundingClientRect().width,
        text: document.querySelector('.text').getBoundingClientRect().width,
        font: getComputedStyle(document.querySelector('.box')).fontFamily,
      }));
      assert.equal(seen.title, 'li\u00e7\u00e3o 3', `${kind}: windows-1252 text reads right`);
      assert.equal(seen.instructions, 'Leia e "complete": <b>n\'importe</b> <br> qual');
      assert.match(seen.font, /Courier New/);
      if (size === DESKTOP) {
        assert.ok(seen.side <= 0.41 * size.width && seen.text >= 0.55 * size.width, `${kind}: ${JSON.stringify(seen)}`);
      }
      await screenshot(page, `${kind}-${name}-unusual`);
      await closeClean(page);
    }
  }
});
