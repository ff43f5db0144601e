// What the dialogs share: tiles (figures scaled down) in listboxes of options, moved through
// with the arrow keys, and dialogs that give the focus back.

import {$, kSize} from './ui.js';

// Paints `tile`'s side x side RGBA into the option's canvas.
export function paintTile(option, tile, side) {
  const picture = option.querySelector('canvas');
  picture.width = picture.height = side;
  picture.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(tile.rgba), side, side), 0, 0);
  option.dataset.name = tile.name;
}
export const tileSide = (css) => Math.min(kSize, Math.round(css * devicePixelRatio));

// Arrow keys in a grid of options: moves `selected` by the key, or returns it unchanged.
export function moved(list, selected, key) {
  const options = [...list.children];
  const columns = Math.max(1, options.filter((o) => o.offsetTop === options[0].offsetTop).length);
  const step = {ArrowLeft: -1, ArrowRight: 1, ArrowUp: -columns, ArrowDown: columns}[key];
  if (key === 'Home') return 0;
  if (key === 'End') return options.length - 1;
  if (step === undefined) return selected;
  const next = selected + step;
  return next >= 0 && next < options.length ? next : selected;
}
export function select(list, index) {
  [...list.children].forEach((option, i) => option.setAttribute('aria-selected', String(i === index)));
  const option = list.children[index];
  if (!option) return;
  list.setAttribute('aria-activedescendant', option.id);
  option.scrollIntoView({block: 'nearest'});
}

// A dialog that gives focus back to where it was when it closes.
export function dialogOf(id, {modal}) {
  const dialog = $(id);
  let before = null;
  dialog.querySelector('.close').addEventListener('click', () => dialog.close());
  dialog.addEventListener('close', () => before?.focus?.());
  return {
    dialog,
    open(focus) {
      for (const other of document.querySelectorAll('dialog[open]')) other.close();
      before = document.activeElement;
      if (modal) dialog.showModal(); else dialog.show();
      focus.focus();
    },
  };
}
