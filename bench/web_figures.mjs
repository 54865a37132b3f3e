// node bench/web_figures.mjs [SECONDS]: the browser edition's figures on this
// machine, printed, not judged (build it first: ./build.sh web --build-only).
//  - diffundo (100 atoms, atoms in place) at full speed in headless Chromium:
//    drawn steps per second from the status line's count over SECONDS
//    (default 10), beside build/bin/diffundo_bench's native drawn figure,
//    measured in the same run;
//  - from opening kalorix's page to its title drawn and waiting, from the
//    disk and served;
//  - the CPU the browser's processes use while the title waits (10 s), the
//    page's renderer apart, and as much for an empty page;
//  - the download of each program, gzip -9 of its one page, and of the
//    files beside them on a web server.
import { execFileSync } from 'node:child_process';
import { readFileSync, readdirSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { join, dirname } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launch, serve } from '../tests/web/cdp.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const web = join(root, 'build', 'web');
const seconds = Number(process.argv[2] || 10);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Clock ticks of the browser's processes, the renderers (where a page's own
// script and WebAssembly run) apart from the rest (browser, GPU, utility).
function groupTicks(group) {
    const ticks = { renderer: 0, all: 0 };
    for (const pid of readdirSync('/proc').filter((d) => /^\d+$/.test(d))) {
        try {
            const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
            const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
            if (Number(fields[2]) !== group) continue;
            const used = Number(fields[11]) + Number(fields[12]);
            ticks.all += used;
            if (readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=renderer')) ticks.renderer += used;
        } catch { /* ended meanwhile */ }
    }
    return ticks;
}

const server = await serve(web);
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await launch();
const { send, evaluate } = browser;
const waitFor = async (expression, limit = 60) => {
    const until = Date.now() + limit * 1000;
    for (;;) {
        const value = await evaluate(expression);
        if (value) return value;
        if (Date.now() > until) throw new Error(`in vain: ${expression}`);
        await sleep(20);
    }
};
const enter = async () => {
    await send('Input.dispatchKeyEvent', { type: 'keyDown', key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13, text: '\r' });
    await send('Input.dispatchKeyEvent', { type: 'keyUp', key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13 });
};
try {
    await send('Page.enable');
    await send('Runtime.enable');
    // From the disk (a stick) and served (the second and third time from
    // the service worker's store).
    for (const [where, address] of [['file://', pathToFileURL(join(web, 'kalorix.html')).href], ['served', `${base}/kalorix.html`]]) {
        const opens = [];
        for (let i = 0; i < 3; ++i) {
            await send('Page.navigate', { url: `${address}?${i}` });
            opens.push(await waitFor('typeof KxPage === "object" && KxPage.firstWait'));
            await sleep(where === 'served' ? 1000 : 0);  // the worker keeps the files meanwhile
        }
        console.log(`kalorix, ${where}: page opened to title drawn and waiting: ${opens.map((t) => t.toFixed(0)).join(', ')} ms`);
    }
    // Idle CPU over 10 s: the waiting title page, and an empty page as the
    // browser's own share that no page can avoid.
    const hz = Number(execFileSync('getconf', ['CLK_TCK']).toString());
    const idle = async () => {
        const t0 = groupTicks(browser.pid);
        await sleep(10000);
        const t1 = groupTicks(browser.pid);
        const percent = (key) => (100 * (t1[key] - t0[key]) / hz / 10).toFixed(2);
        return `${percent('renderer')} % of one core in its renderer, ${percent('all')} % in all browser processes`;
    };
    console.log(`kalorix: the waiting title page uses ${await idle()} (10 s)`);
    await send('Page.navigate', { url: 'about:blank' });
    console.log(`an empty page uses ${await idle()} (10 s)`);

    await send('Page.navigate', { url: `${base}/diffundo.html` });
    await waitFor('typeof KxPage === "object" && KxPage.firstWait');
    let boxes = 0;
    const box = async () => { await waitFor(`KxPage.boxes > ${boxes} && document.getElementById('box').open`); boxes = await evaluate('KxPage.boxes'); };
    await enter();  // the title
    for (let i = 0; i < 3; ++i) { await box(); await enter(); }  // quit hint, introduction, 100 atoms
    const count = async () => {
        const text = await evaluate(`document.getElementById('status').textContent`);
        const found = text.match(/([\d.]+) Schritte/);
        return { steps: found ? Number(found[1].replace(/\./g, '')) : NaN, at: Date.now() };
    };
    await sleep(2000);
    const a = await count();
    const ticks_a = groupTicks(browser.pid).renderer;
    await sleep(seconds * 1000);
    const b = await count();
    const ticks_b = groupTicks(browser.pid).renderer;
    const web_rate = (b.steps - a.steps) / ((b.at - a.at) / 1000);
    // Per CPU second of the page's renderer too: on a shared machine the
    // wall figures of both sides move with the others' load.
    const web_cpu_rate = (b.steps - a.steps) / ((ticks_b - ticks_a) / hz);
    const bench = execFileSync(join(root, 'build', 'bin', 'diffundo_bench'), ['2000000', '3']).toString();
    const line = bench.split('\n').find((l) => l.includes('drawn, atoms in place'));
    const [native, native_cpu] = line.trim().split(/\s+/).slice(6, 8).map(Number);
    console.log(`diffundo, 100 atoms, full speed: ${web_rate.toFixed(0)} drawn steps/s in Chromium, ` +
                `${native} natively (diffundo_bench, drawn, atoms in place, wall): ratio ${(web_rate / native).toFixed(2)}`);
    console.log(`  per CPU second: ${web_cpu_rate.toFixed(0)} in the page's renderer, ${native_cpu} natively: ` +
                `ratio ${(web_cpu_rate / native_cpu).toFixed(2)}`);
} finally {
    await browser.close();
    server.close();
}
const gzipped = (file) => gzipSync(readFileSync(join(web, file)), { level: 9 }).length;
for (const program of ['kalorix', 'diffundo']) {
    const size = gzipped(`${program}.html`);
    console.log(`${program}: ${program}.html, everything inside, ${(size / 1048576).toFixed(2)} MiB gzip -9 ` +
                `(${(readFileSync(join(web, `${program}.html`)).length / 1048576).toFixed(2)} MiB as it is)`);
}
const beside = ['index.html', 'service-worker.js', 'kalorix.webmanifest', 'diffundo.webmanifest',
                ...readdirSync(join(web, 'icons')).map((f) => `icons/${f}`)];
console.log(`beside them for a web server: ${(beside.reduce((s, f) => s + gzipped(f), 0) / 1024).toFixed(0)} KiB gzip -9`);
