// The page's elements that every part of it uses, and its message line.

export const kSize = 500;  // the canvas's width and height, pixels
export const kLongestQuote = 80;  // characters of an address or a file's name quoted in a message

export const $ = (id) => document.getElementById(id);
export const canvas = $('Picture1');
export const message = $('message');
const buttons = [...document.querySelectorAll('#buttons button')];

export function say(words, isError = false) {
  message.textContent = words;
  message.className = isError ? 'error' : '';
}
export const enable = (on) => buttons.forEach((button) => { button.disabled = !on; });

// The core's reason with its one quote of the address cut to kLongestQuote characters.
export function clipQuote(error) {
  const open = error.indexOf("'"), close = error.lastIndexOf("'");
  const quote = [...error.slice(open + 1, close)];
  if (open < 0 || quote.length <= kLongestQuote) return error;
  return `${error.slice(0, open + 1)}${quote.slice(0, kLongestQuote - 1).join('')}…${error.slice(close)}`;
}
