#!/usr/bin/env python3
"""Plain-text fidelity of the RTF converter against an independent one.

For every RTF file given, compares our plain text (the --ours command, run as CMD FILE) with
LibreOffice's text export, by difflib's character ratio. RTF bodies of TNEF files can be saved
with `velquin-tnef body FILE > body.rtf`.
Run by hand; LibreOffice (libreoffice-writer-nogui) is not a project dependency.

  cmake --build BUILD --target velquin_rtf_text
  bench/rtf/fidelity.py --ours BUILD/bin/velquin_rtf_text FILE.rtf...
"""
import argparse, difflib, os, shlex, subprocess, sys, tempfile

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
    ap.add_argument('--ours', required=True)
    ap.add_argument('--show-diff', action='store_true')
    ap.add_argument('files', nargs='+')
    args = ap.parse_args()
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
