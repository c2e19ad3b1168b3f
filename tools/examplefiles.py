"""The input files of an example run, shared by the tools that copy them."""
import os
import shutil

EXAMPLES = ["box", "boxquarter", "twoboxes", "hemisphere", "hemisphere_irr0", "hemisphere_irr3", "hemicsf",
            "boxcsf", "hobox", "hoboxbs", "hohemi", "hohemideep", "hohemi_irr3", "hoboxmodel"]

# The examples whose runs take well under a second: the inputs that the
# mutation driver damages.  The larger ones would turn every damaged case
# into a long run.
MUTATED = ["box", "boxquarter", "twoboxes", "hemisphere"]


def inputs(src):
    """fnames.zrv, the names it lists, and the body files of a global
    geometry file among them: the outputs of a run made in the folder are
    not among them."""
    files = ["fnames.zrv"]

    def add(name):
        if name and name not in files and os.path.isfile(os.path.join(src, name)):
            files.append(name)

    with open(os.path.join(src, "fnames.zrv"), encoding="latin-1") as f:
        for line in f:
            w = line.split()
            add(w[0] if w else "")
    for name in list(files[1:]):
        if name.endswith(".gdf"):
            with open(os.path.join(src, name), encoding="latin-1") as f:
                for line in f:
                    w = line.split()
                    if w and w[0].endswith(".gdf"):
                        add(w[0])
    # Companion inputs of a geometry file share its base name: spline
    # control, extra modes, body points, control surface and its splines.
    for name in list(files[1:]):
        if name.endswith(".gdf"):
            for ext in (".spl", ".mod", ".bpi", ".csf", ".csp"):
                add(name[:-4] + ext)
    # A geometry or control-surface file of kind 2 (the second number of its
    # fourth line) names its geometry-model file on its sixth line.
    for name in list(files[1:]):
        if name.endswith((".gdf", ".csf")):
            with open(os.path.join(src, name), encoding="latin-1") as f:
                lines = f.read().split("\n")
            kind = lines[3].split()[1:2] if len(lines) > 5 else []
            if kind == ["2"] and lines[5].split():
                add(lines[5].split()[0])
    return files


def copy_inputs(src, dest):
    """Copies the input files of the example folder SRC into DEST (made
    when missing)."""
    os.makedirs(dest, exist_ok=True)
    for f in inputs(src):
        shutil.copy(os.path.join(src, f), dest)
