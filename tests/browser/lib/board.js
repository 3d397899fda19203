// What the browser tests share: the board run.sh started, the facts of its
// seeded content, Debian's Chromium and the screenshot folder.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');

function required(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run the browser tests through tests/browser/run.sh`);
  return value;
}

const baseUrl = required('BOARD_URL');
const outputDir = required('BROWSER_OUTPUT');
const seedReport = fs.readFileSync(required('BOARD_SEED_INFO'), 'utf8');

function reported(pattern, what) {
  const match = seedReport.match(pattern);
  if (!match) throw new Error(`the seeding report names no ${what}`);
  return match[1];
}

// Facts of the seeded board, from board-seed's report.
const seed = {
  busyForum: reported(/^busy forum: (.+) \(list\.asp/m, 'busy forum'),
  longThreadId: Number(reported(/^long thread: newsdetail\.asp\?id=(\d+)/m, 'long thread')),
  admin: { name: reported(/^members: \d+ \("([^"]+)"/m, 'administrator'), password: reported(/with password "([^"]+)"/m, 'administrator password') },
  member: { name: reported(/^first member: (.+)$/m, 'first member'), password: reported(/the others "([^"]+)"/m, 'member password') },
  // The long thread's first post holds this bold text, a smiley and a quote.
  showcaseBold: '这个贴子欢迎大家一直跟下去',
  // The seeded administrator, who may use the control panel.
  adminName: reported(/^members: \d+ \("(.+?)" with password/m, 'administrator'),
  adminPassword: reported(/^members: \d+ \(".+?" with password "(.+?)"/m, 'administrator password'),
};

// Root is required: Chromium then needs --no-sandbox. Nothing may reach
// beyond this machine, so no background traffic of the browser's own.
const chromiumArgs = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// A browser with a fresh profile (its own --user-data-dir); closeBrowser
// removes the profile again.
let profile = '';
async function openBrowser() {
  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'board-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: chromiumArgs,
    viewport: { width: 1100, height: 800 },
  });
  // Pages may link to other hosts (post texts do); only the board is fetched.
  await context.route(
    (url) => url.origin !== new URL(baseUrl).origin,
    (route) => route.abort(),
  );
  return context;
}

async function closeBrowser(context) {
  await context?.close();
  if (profile) fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
}

function url(page) {
  return `${baseUrl}/${page}`;
}

async function screenshot(page, name) {
  fs.mkdirSync(outputDir, { recursive: true });
  await page.screenshot({ path: path.join(outputDir, `${name}.png`), fullPage: true });
}

// The date `days` before today as the board writes dates ("yyyy-mm-dd").
function dateDaysAgo(days) {
  const d = new Date(Date.now() - days * 86400000);
  const two = (n) => String(n).padStart(2, '0');
  return `${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())}`;
}

// A cookie value in the form the board sends it: URL-encoded, a blank as
// "+". ASCII text only.
function cookieValue(text) {
  return text.replace(/[^A-Za-z0-9]/g, (c) =>
    c === ' ' ? '+' : `%${c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0')}`);
}

module.exports = { seed, openBrowser, closeBrowser, url, screenshot, dateDaysAgo, cookieValue };
