#!/usr/bin/env python3
"""Fidelity of the RTF converter and of the message pane.

Text: for every RTF file given, compares our plain text with an independent converter's.
Pane (--pane): shows the generated fault bodies and every TNEF file given in an offscreen pane
and reports, per body, what a reader sees and whether it is right.

For every RTF file given, compares our plain text (the --ours command, run as CMD FILE) with
LibreOffice's text export, by difflib's character ratio. RTF bodies of TNEF files can be saved
with `velquin-tnef body FILE > body.rtf`.
Run by hand; LibreOffice (libreoffice-writer-nogui) is not a project dependency.

  cmake --build BUILD --target velquin_rtf_text
  bench/rtf/fidelity.py --ours BUILD/bin/velquin_rtf_text FILE.rtf...

  cmake --build BUILD --target velquin_pane_check
  bench/rtf/fidelity.py --pane BUILD/bin/velquin_pane_check [--png DIR] [FILE.tnef...]
"""
import argparse, difflib, glob, json, os, shlex, subprocess, sys, tempfile

# What each generated body must show: (what is checked, the facts it reads, the test).
def _indent_of(facts, text):
    return max([i['px'] for i in facts['indents'] if i['text'].startswith(text)] or [0])

PANE_EXPECTED = {
    'fault-1-nested-20': lambda f: (f'{f["ms"]:.0f} ms, frame depth {f["frameDepth"]}',
                                    f['ms'] < 1000 and f['frameDepth'] <= 9 and f['chars'] > 1),
    'fault-1-nested-1000': lambda f: (f'{f["ms"]:.0f} ms, frame depth {f["frameDepth"]}',
                                      f['ms'] < 1000 and f['frameDepth'] <= 9 and f['chars'] > 1),
    'fault-2-cell-shade': lambda f: ('cell backgrounds ' + ' '.join(f['cellColours']),
                                     sorted(f['cellColours']) == ['#c80000', 'none']),
    'fault-3-cid-pictures': lambda f: (f'{f["pictures"]} of 3 pictures shown', f['pictures'] == 3),
    'fault-4-quote-indent': lambda f: (f'quoted block indented {_indent_of(f, "quoted")} px',
                                       _indent_of(f, 'quoted') >= 48),
    'fault-5-direction': lambda f: ('rtl blocks ' + ' '.join(f'{b["rightGapPx"]}px-from-right' for b in f['rtlBlocks'])
                                    + f', ltr blocks {f["ltrBlocks"]}',
                                    len(f['rtlBlocks']) == 2 and all(b['rightGapPx'] <= 4 for b in f['rtlBlocks'])
                                    and f['ltrBlocks'] == 1),
    'fault-6-light-hebrew': lambda f: (f'{f["boxGlyphs"]} box glyphs', f['boxGlyphs'] == 0),
    'fault-7-font-size': lambda f: (f'<font size=2> is {f["textPx"]} px', f['textPx'] == 13),
    'fault-8-minor': lambda f: (f'body colour {f["bodyColour"]}, blank lines {f["blankBlocks"]}, '
                                f'links underlined {f["underlinedLinks"]}/{f["links"]}',
                                f['bodyColour'] == '#ffffcc' and f['blankBlocks'] == 1
                                and f['links'] >= 1 and f['underlinedLinks'] == f['links']),
}

def corpus_check(f):
    # A real body: shown in time, no box where some installed face has the glyph, no cell
    # painted black.
    boxes = f['boxGlyphs'] if f['charsNoFaceHas'] == 0 else 0
    what = (f'{f["ms"]:.0f} ms, cells {"/".join(f["cellColours"]) or "-"}, indents '
            f'{",".join(str(i["px"]) for i in f["indents"][:4]) or "-"} px, rtl blocks {len(f["rtlBlocks"])}, '
            f'box glyphs {f["boxGlyphs"]}' + (' (no installed face has them)' if f['charsNoFaceHas'] else ''))
    return what, f['ms'] < 5000 and boxes == 0 and '#000000' not in f['cellColours']

def pane(args):
    failed = 0
    with tempfile.TemporaryDirectory() as tmp:
        env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get('QT_QPA_PLATFORM', 'offscreen'))
        subprocess.run([args.pane, 'make', tmp], check=True, capture_output=True, env=env)
        files = sorted(glob.glob(os.path.join(tmp, '*.tnef'))) + list(args.files)
        cmd = [args.pane, 'show'] + (['--png', args.png] if args.png else [])
        for path in files:
            run = subprocess.run(cmd + [path], capture_output=True, text=True, env=env, timeout=300)
            lines = [l for l in run.stdout.split('\n') if l.startswith('{')]
            name = os.path.splitext(os.path.basename(path))[0]
            if run.returncode != 0 or not lines:
                print(f'FAIL  {name}: not shown (exit {run.returncode})')
                failed += 1
                continue
            facts = json.loads(lines[-1])
            if 'error' in facts:
                print(f'skip  {name}: the viewer does not open it ({facts["error"]}), as it says')
                continue
            what, ok = (PANE_EXPECTED[name](facts) if name in PANE_EXPECTED else corpus_check(facts))
            failed += not ok
            print(f'{"pass" if ok else "FAIL"}  {name}: {what}')
    print(f'{failed} failed')
    return 1 if failed else 0

def normalise(text):
    # Line-end style, trailing blanks, non-breaking spaces and blank-line runs are layout, not
    # content: both converters choose them differently for the same paragraph.
    # LibreOffice's RTF import keeps runs of spaces by putting U+2006 between them; that
    # character is not in the document.
    text = text.replace('\r\n', '\n').replace('\u00a0', ' ').replace('\ufeff', '')
    text = text.replace('\u2006', '')
    lines = [l.rstrip() for l in text.split('\n')]
    out = []
    for l in lines:
        if l == '' and out and out[-1] == '':
            continue
        out.append(l)
    return '\n'.join(out).strip('\n')

def libreoffice_text(path, outdir):
    env = dict(os.environ, HOME=outdir)
    subprocess.run(['soffice', '--headless', '--convert-to', 'txt:Text (encoded):UTF8,LF',
                    '--outdir', outdir, path], env=env, capture_output=True, timeout=300)
    out = os.path.join(outdir, os.path.splitext(os.path.basename(path))[0] + '.txt')
    with open(out, encoding='utf-8', errors='replace') as f:
        return f.read()

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--ours')
    ap.add_argument('--pane')
    ap.add_argument('--png', help='with --pane: save each pane picture into this folder')
    ap.add_argument('--show-diff', action='store_true')
    ap.add_argument('files', nargs='*')
    args = ap.parse_args()
    if args.pane:
        return pane(args)
    if not args.ours or not args.files:
        ap.error('--ours CMD FILE... or --pane TOOL [FILE...]')
    worst = 1.0
    with tempfile.TemporaryDirectory() as tmp:
        for path in args.files:
            with open(path, 'rb') as f:
                if not f.read(5).startswith(b'{\\rtf'):
                    continue
            ours = subprocess.run(shlex.split(args.ours) + [path], capture_output=True).stdout
            ours = normalise(ours.decode('utf-8', 'replace'))
            theirs = normalise(libreoffice_text(path, tmp))
            ratio = difflib.SequenceMatcher(None, ours, theirs, autojunk=False).ratio()
            worst = min(worst, ratio)
            print(f'{ratio * 100:6.2f}%  {len(ours):6d} {len(theirs):6d}  {os.path.basename(path)}')
            if args.show_diff and ratio < 1:
                for line in difflib.unified_diff(theirs.split('\n'), ours.split('\n'),
                                                 'libreoffice', 'ours', lineterm='', n=0):
                    print('    ' + line)
    print(f'worst {worst * 100:.2f}%')
    return 0 if worst >= 0.98 else 1

if __name__ == '__main__':
    sys.exit(main())
