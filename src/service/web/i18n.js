// The page's texts in the language the service speaks: texts.json maps each
// Chinese text of the page and of its scripts to the text to show. t(text,
// ...args) looks one up and fills %1, %2, ...; the page's own texts are
// replaced once the catalogue is there (textsReady), before the scripts
// that wait for it draw anything.
'use strict';

let pageTexts = {};

function t(text, ...args) {
  let s = Object.prototype.hasOwnProperty.call(pageTexts, text) ? pageTexts[text] : text;
  args.forEach((arg, i) => { s = s.split('%' + (i + 1)).join(String(arg)); });
  return s;
}

function translateTree(root) {
  const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    const key = node.nodeValue.trim();
    if (key && Object.prototype.hasOwnProperty.call(pageTexts, key))
      node.nodeValue = node.nodeValue.replace(key, pageTexts[key]);
  }
  root.querySelectorAll('[placeholder], [title], [alt]').forEach((element) => {
    for (const name of ['placeholder', 'title', 'alt'])
      if (element.hasAttribute(name)) element.setAttribute(name, t(element.getAttribute(name)));
  });
  root.querySelectorAll('template').forEach((template) => translateTree(template.content));
}

const textsReady = (async () => {
  try {
    const response = await fetch('texts.json');
    if (!response.ok) return;
    const catalogue = await response.json();
    pageTexts = catalogue.texts || {};
    document.documentElement.lang = catalogue.lang === 'en' ? 'en' : 'zh-CN';
    document.title = t(document.title);
    translateTree(document.body);
  } catch (e) {
    // Without the catalogue the page stays as written.
  }
})();
