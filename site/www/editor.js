// The posting editor's toolbar. Each list and button puts a markup tag into
// the form's Message box: around the selected text, or at the cursor. The
// help-mode radios choose how a tag without a selection is made: help
// explains the tag and inserts nothing, full (the default) asks for its
// text and address, basic inserts the empty pair.
(function () {
  'use strict';

  var HELP = 1;
  var FULL = 2;
  var mode = FULL;
  // Until the writer has been in the box, a tag goes to the end of its
  // text (a prefilled edit or quote), not before it.
  var boxUsed = false;

  var SMILEYS = [
    [':)', 'smile'], [':(', 'frown'], [':o', 'redface'], [':D', 'biggrin'],
    [';)', 'wink'], [':p', 'tongue'], [':cool:', 'cool'], [':rolleyes:', 'rolleyes'],
    [':mad:', 'mad'], [':eek:', 'eek'], [':confused:', 'confused'],
  ];

  // The radio that is checked: a page the browser brings back keeps the
  // writer's choice, which thelp saw on an earlier load.
  function currentMode() {
    var checked = document.querySelector('input[name=mode]:checked');
    var modes = { basic: 0, help: HELP, prompt: FULL };
    return checked && checked.value in modes ? modes[checked.value] : mode;
  }

  function box() {
    return document.getElementsByName('Message')[0];
  }

  document.addEventListener('focusin', function (event) {
    if (event.target === box()) boxUsed = true;
  });

  function selectedText() {
    var area = box();
    if (!boxUsed) area.setSelectionRange(area.value.length, area.value.length);
    return area.value.substring(area.selectionStart, area.selectionEnd);
  }

  // Replaces the selection with open + inner + close. The cursor lands
  // after it, or between the tags of an empty pair.
  function insert(open, inner, close) {
    var area = box();
    selectedText();
    var start = area.selectionStart;
    area.value = area.value.substring(0, start) + open + inner + close + area.value.substring(area.selectionEnd);
    var caret = start + open.length + inner.length + (inner ? close.length : 0);
    area.focus();
    area.setSelectionRange(caret, caret);
  }

  // A prompt's answer; null when cancelled or left empty.
  function ask(question, preset) {
    var answer = window.prompt(question, preset || '');
    return answer === null || answer === '' ? null : answer;
  }

  // A tag around text: the selection, else what the writer types (full
  // mode) or nothing (basic mode, the empty pair).
  function wrap(name, value, help, question) {
    if (currentMode() === HELP) return window.alert(help);
    var open = '[' + name + (value ? '=' + value : '') + ']';
    var close = '[/' + name + ']';
    var text = selectedText();
    if (!text && currentMode() === FULL && (text = ask(question)) === null) return;
    insert(open, text, close);
  }

  // A tag that carries an address: [name=address]text[/name], or
  // [name]address[/name] without a text of its own.
  function addressTag(name, help, addressQuestion, addressPreset, textQuestion) {
    if (currentMode() === HELP) return window.alert(help);
    var text = selectedText();
    if (currentMode() !== FULL) return insert('[' + name + ']', text, '[/' + name + ']');
    var address = ask(addressQuestion, addressPreset);
    if (address === null) return;
    if (!text && textQuestion) {
      text = window.prompt(textQuestion, '');
      if (text === null) return;
    }
    if (text && text !== address) insert('[' + name + '=' + address + ']', text, '[/' + name + ']');
    else insert('[' + name + ']', address, '[/' + name + ']');
  }

  // A list's first choice again, so that choosing the same entry once more
  // is a change too.
  function resetList(name) {
    var list = document.getElementsByName(name)[0];
    if (!list) return;
    for (var i = 0; i < list.options.length; i++) {
      if (list.options[i].defaultSelected) list.selectedIndex = i;
    }
  }

  // The lists: a tag with the chosen value around text.
  [['showfont', 'font', '字体', '用该字体显示文字'], ['showsize', 'size', '字号', '字号从 1 到 6'],
    ['showcolor', 'color', '颜色', '用该颜色显示文字']].forEach(function (l) {
    window[l[0]] = function (value) {
      wrap(l[1], value, l[2] + '：[' + l[1] + '=' + value + ']文字[/' + l[1] + ']，' + l[3] + '。',
        '请输入要用' + l[2] + ' ' + value + ' 显示的文字：');
      resetList(l[1]);
    };
  });

  // The buttons that put a tag around text.
  [['bold', 'b', '粗体', '把文字显示为粗体'], ['italicize', 'i', '斜体', '把文字显示为斜体'],
    ['underline', 'u', '下划线', '给文字加下划线'], ['center', 'center', '居中', '让文字居中显示'],
    ['showcode', 'code', '代码', '按原样显示程序代码'], ['quote', 'quote', '引用', '把文字显示为引用']].forEach(function (b) {
    window[b[0]] = function () {
      wrap(b[1], '', b[2] + '：[' + b[1] + ']文字[/' + b[1] + ']，' + b[3] + '。', '请输入' + b[2] + '的文字：');
    };
  });

  function hyperlink() {
    addressTag('url', '超级链接：[url]http://地址[/url]，或 [url=http://地址]链接文字[/url]。',
      '请输入链接的地址：', 'http://', '请输入链接显示的文字（不填则显示地址）：');
  }

  function email() {
    addressTag('email', '电子邮件：[email]名字@地址[/email]，或 [email=名字@地址]文字[/email]。',
      '请输入电子邮件地址：', '', '请输入链接显示的文字（不填则显示地址）：');
  }

  function image() {
    addressTag('img', '图像：[img]http://图像地址[/img]，在贴子里显示该图像。', '请输入图像的地址：', 'http://', '');
  }

  // [list] with one [*] entry a line of the selection, or entries asked
  // one after another; [list=1] numbers them, [list=A] letters them.
  function list() {
    if (currentMode() === HELP) {
      return window.alert('列表：[list][*]第一项[*]第二项[/list]；[list=1] 为数字编号，[list=A] 为字母编号。');
    }
    var text = selectedText();
    if (text) return insert('[list]', '[*]' + text.split(/\r?\n/).join('[*]'), '[/list]');
    if (currentMode() !== FULL) return insert('[list][*]', '', '[/list]');
    var kind = window.prompt('列表的类型：1 为数字编号，A 为字母编号，不填为圆点：', '');
    if (kind === null) return;
    var items = [];
    for (var item; (item = ask('请输入列表的第 ' + (items.length + 1) + ' 项（不填则结束）：')) !== null;) items.push(item);
    if (!items.length) return;
    insert(/^(1|a)$/i.test(kind) ? '[list=' + kind + ']' : '[list]', '[*]' + items.join('[*]'), '[/list]');
  }

  // A small panel below the toolbar, one at a time; null when the same
  // panel was open (a second click closes it).
  function openPanel(id) {
    var open = document.getElementById('editor-panel');
    if (open) open.parentNode.removeChild(open);
    if (open && open.getAttribute('data-kind') === id) return null;
    var panel = document.createElement('div');
    panel.id = 'editor-panel';
    panel.setAttribute('data-kind', id);
    panel.style.cssText = 'border:1px solid #000000;background:#f7f7f7;padding:4px;margin:2px 0;';
    var area = box();
    area.parentNode.insertBefore(panel, area);
    return panel;
  }

  function closePanel() {
    var panel = document.getElementById('editor-panel');
    if (panel) panel.parentNode.removeChild(panel);
  }

  function button(label, onClick) {
    var b = document.createElement('input');
    b.type = 'button';
    b.value = label;
    b.className = 'buttonface';
    b.onclick = onClick;
    return b;
  }

  function smilieopen() {
    if (currentMode() === HELP) return window.alert('笑脸：在文字中写笑脸的代码，如 :) 或 :cool:，贴子里显示为图片。');
    var panel = openPanel('smilies');
    if (!panel) return;
    SMILEYS.forEach(function (smiley) {
      var picture = document.createElement('img');
      picture.src = 'images/' + smiley[1] + '.gif';
      picture.alt = picture.title = smiley[0];
      picture.style.cssText = 'cursor:pointer;margin:2px;';
      picture.onclick = function () {
        closePanel();
        insert(smiley[0], '', '');
      };
      panel.appendChild(picture);
    });
    panel.appendChild(button('关闭', closePanel));
  }

  function viewubb() {
    window.open('ubbcode.htm', 'ubbcode', 'width=700,height=500,resizable=yes,scrollbars=yes');
  }

  function thelp(chosen) {
    mode = chosen;
  }

  // Font, size and colour chosen together and applied to the selection
  // (in full mode to typed text when nothing is selected).
  function afp() {
    if (currentMode() === HELP) {
      return window.alert('高级字体设置：同时选择字体、字号和颜色，一次加到选中的文字上。');
    }
    var panel = openPanel('fonts');
    if (!panel) return;
    var choices = [['font', '字体'], ['size', '字号'], ['color', '颜色']].map(function (kind) {
      var choice = document.createElement('select');
      choice.add(new Option(kind[1] + '（不变）', ''));
      var own = document.getElementsByName(kind[0])[0];
      for (var i = 0; own && i < own.options.length; i++) choice.add(new Option(own.options[i].text, own.options[i].value));
      panel.appendChild(choice);
      return [kind[0], choice];
    });
    panel.appendChild(button('确定', function () {
      var open = '';
      var close = '';
      choices.forEach(function (c) {
        if (!c[1].value) return;
        open += '[' + c[0] + '=' + c[1].value + ']';
        close = '[/' + c[0] + ']' + close;
      });
      closePanel();
      if (!open) return;
      var text = selectedText();
      if (!text && currentMode() === FULL && (text = ask('请输入要设置字体的文字：')) === null) return;
      insert(open, text, close);
    }));
    panel.appendChild(button('取消', closePanel));
  }

  window.hyperlink = hyperlink;
  window.email = email;
  window.image = image;
  window.list = list;
  window.smilieopen = smilieopen;
  window.viewubb = viewubb;
  window.thelp = thelp;
  window.afp = afp;
})();
