#!/usr/bin/python3
"""Prints one table of benchmark medians from Google Benchmark JSON files:
operation, model, median, goal."""
import json
import re
import sys

# (name pattern, operation, model, goal)
ROWS = [
    (r"^BM_DenseSequentialRead", "read the file once, sequentially", "dense 255^3 (34 MB)", "reference"),
    (r"^BM_DenseSequentialWrite", "write the file once, sequentially", "dense 255^3 (34 MB)", "reference"),
    (r"^BM_DenseLoad", "load", "dense 255^3 (34 MB)", "< 250 ms, <= 3x read"),
    (r"^BM_DenseSave", "save", "dense 255^3 (34 MB)", "< 250 ms, <= 3x read"),
    (r"^BM_SmallSequentialRead", "read the file once, sequentially", "69x39x17", "reference"),
    (r"^BM_SmallLoad", "load", "69x39x17", "-"),
    (r"^BM_SmallSave", "save", "69x39x17", "-"),
    (r"^BM_WalkerLoad", "load", "13 sections, up to 53x31x20", "-"),
    (r"^BM_WalkerSave", "save", "13 sections, up to 53x31x20", "-"),
    (r"^BM_DenseAmidSmallLoad", "load", "dense 255^3 amid 4 small sections", "< 250 ms"),
    (r"^BM_DenseAmidSmallSave", "save", "dense 255^3 amid 4 small sections", "< 250 ms"),
    (r"^BM_SwitchDenseAndSmall", "switch the edited section", "dense 255^3 and a small one", "< 20 ms"),
    (r"^BM_SwitchDenseAndDense", "switch the edited section", "two dense 255^3", "< 20 ms"),
    (r"^BM_RenderSlice/orientation:0/zoom:8/normals:0/shell:0", "slice render, colours, zoom 8, top", "dense 255^3, last layer", "< 15 ms"),
    (r"^BM_RenderSlice/orientation:1/zoom:8/normals:0/shell:0", "slice render, colours, zoom 8, front", "dense 255^3, last layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:2/zoom:8/normals:0/shell:0", "slice render, colours, zoom 8, side", "dense 255^3, last layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:0/zoom:16/normals:0/shell:0", "slice render, colours, zoom 16, top", "dense 255^3, last layer", "< 40 ms"),
    (r"^BM_RenderSlice/orientation:1/zoom:16/normals:0/shell:0", "slice render, colours, zoom 16, front", "dense 255^3, last layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:2/zoom:16/normals:0/shell:0", "slice render, colours, zoom 16, side", "dense 255^3, last layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:0/zoom:8/normals:0/shell:1", "slice render, colours, zoom 8, top", "hollow 255 shell, middle layer", "reference"),
    (r"^BM_RenderSlice/orientation:1/zoom:8/normals:0/shell:1", "slice render, colours, zoom 8, front", "hollow 255 shell, middle layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:2/zoom:8/normals:0/shell:1", "slice render, colours, zoom 8, side", "hollow 255 shell, middle layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:0/zoom:16/normals:0/shell:1", "slice render, colours, zoom 16, top", "hollow 255 shell, middle layer", "reference"),
    (r"^BM_RenderSlice/orientation:1/zoom:16/normals:0/shell:1", "slice render, colours, zoom 16, front", "hollow 255 shell, middle layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:2/zoom:16/normals:0/shell:1", "slice render, colours, zoom 16, side", "hollow 255 shell, middle layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:0/zoom:8/normals:1/shell:0", "slice render, normals, zoom 8, top", "dense 255^3, last layer", "< 15 ms"),
    (r"^BM_RenderSlice/orientation:1/zoom:8/normals:1/shell:0", "slice render, normals, zoom 8, front", "dense 255^3, last layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:2/zoom:8/normals:1/shell:0", "slice render, normals, zoom 8, side", "dense 255^3, last layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:0/zoom:16/normals:1/shell:0", "slice render, normals, zoom 16, top", "dense 255^3, last layer", "< 40 ms"),
    (r"^BM_RenderSlice/orientation:1/zoom:16/normals:1/shell:0", "slice render, normals, zoom 16, front", "dense 255^3, last layer", "<= 2x top"),
    (r"^BM_RenderSlice/orientation:2/zoom:16/normals:1/shell:0", "slice render, normals, zoom 16, side", "dense 255^3, last layer", "<= 2x top"),
    (r"^BM_RenderSliceDirectionColours/zoom:16", "slice render, direction colours, zoom 16", "dense 255^3, last layer", "as normals"),
    (r"^BM_FloodFillSerpentine", "flood fill", "255x255 serpentine path", "< 5 ms"),
    (r"^BM_PassFillSerpentine", "flood fill, repeated passes (old way)", "255x255 serpentine path", "reference"),
    (r"^BM_VolumeFillDense/regiononly:0", "volume fill, one step", "dense 255^3", "< 150 ms"),
    (r"^RenderView/shape:0/ax:0/", "3D render, angles 0,0,0", "dense 255^3", "< 50 ms"),
    (r"^RenderView/shape:0/ax:219/", "3D render, TS Cameo", "dense 255^3", "< 30 ms"),
    (r"^RenderViewLit/shape:0/ax:219/", "lit 3D render, TS Cameo", "dense 255^3", "<= 1.2x unlit"),
    (r"^RenderViewLit/shape:1/ax:219/", "lit 3D render, TS Cameo", "hollow 255 shell", "< 8 ms"),
    (r"^RenderViewLit/shape:2/ax:219/", "lit 3D render, TS Cameo", "69x39x17", "< 1 ms"),
    (r"^BM_CalculateNormalsRealModel/5/", "computed normals, radius 5", "cc.vxl 69x39x17", "< 10 ms"),
    (r"^BM_CalculateNormalsDense255/5/", "computed normals, radius 5", "dense 255^3", "< 250 ms"),
    (r"^RenderView/shape:1/ax:0/", "3D render, angles 0,0,0", "hollow 255 shell", "< 8 ms"),
    (r"^RenderView/shape:1/ax:219/", "3D render, TS Cameo", "hollow 255 shell", "< 8 ms"),
    (r"^RenderView/shape:2/ax:0/", "3D render, angles 0,0,0", "69x39x17", "< 1 ms"),
    (r"^RenderView/shape:2/ax:219/", "3D render, TS Cameo", "69x39x17", "< 1 ms"),
    (r"^BM_ThumbnailRealModel/256", "thumbnail at size 256 (before PNG encoding)", "cc.vxl 69x39x17", "< 50 ms"),
    (r"^ReferenceRender/shape:0/ax:219/", "3D render, plain formulas, TS Cameo", "dense 255^3", "reference"),
    (r"^ReferenceRender/shape:1/ax:219/", "3D render, plain formulas, TS Cameo", "hollow 255 shell", "reference"),
    (r"^ReferenceRender/shape:2/ax:219/", "3D render, plain formulas, TS Cameo", "69x39x17", "reference"),
    (r"^BM_VoxImportSlab$", "import a MagicaVoxel model, no normals", "255x255x14 slab, 850,170 voxels", "< 100 ms"),
    (r"^BM_VoxImportSlabWithNormals$", "import a MagicaVoxel model", "255x255x14 slab, 850,170 voxels", "< 300 ms"),
    (r"^BM_VoxExportSlab", "export a MagicaVoxel model", "255x255x14 slab, 850,170 voxels", "< 100 ms"),
    (r"^BM_UndoWholeLayerFill", "undo a fill of a whole layer", "255x255 layer", "< 1 ms"),
    (r"^BM_RedoWholeLayerFill", "redo a fill of a whole layer", "255x255 layer", "< 1 ms"),
    (r"^BM_RecordPenStroke1000", "record a 1,000-cell pen stroke", "255x255 layer", "< 0.1 ms"),
    (r"^BM_TwoHundredWholeLayerSteps", "200 whole-layer steps, memory held", "255x255 layers", "<= 64 MiB"),
    (r"^BM_OpenEmptySections", "open", "33 empty 255^3 sections (17 MB)", "< 1 s, < 300 MiB"),
    (r"^BM_ImportEmptyVoxModels", "import", "32 empty 255^3 .vox models (1.3 KB)", "< 1 s, < 300 MiB"),
]

# Rows whose figure is memory, from the benchmark's counters, rather than time:
# the first counter is the figure, the second follows it in brackets.
MEMORY_ROWS = {
    r"^BM_TwoHundredWholeLayerSteps": ("history_MiB", "resident_growth_MiB", "resident growth"),
}

# Rows whose time is followed by the peak memory one run took.
PEAK_ROWS = {r"^BM_OpenEmptySections", r"^BM_ImportEmptyVoxModels"}

UNITS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def medians(paths):
    found = {}
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            name = b["name"]
            if b.get("aggregate_name", "") not in ("median", ""):
                continue
            if b.get("run_type") == "aggregate" or name.endswith("_median"):
                base = re.sub(r"_median$", "", name)
            else:
                base = name
                if base in found:  # a single run: keep the first
                    continue
            found[base] = b
    return found


def ms(b):
    return b["real_time"] * UNITS[b.get("time_unit", "ns")]


def memory(b, counters):
    held, also, label = counters
    if held not in b:
        return "-"
    text = f"{b[held]:.1f} MiB"
    if also in b:
        text += f" ({label} {b[also]:.1f} MiB)"
    return text


def fmt(ms):
    return f"{ms * 1000:.0f} us" if ms < 1 else f"{ms:.1f} ms"


def main():
    found = medians(sys.argv[1:])
    print("| Operation | Model | Median | Goal |")
    print("|---|---|---|---|")
    for pattern, operation, model, goal in ROWS:
        hits = [v for k, v in found.items() if re.search(pattern, k)]
        if hits:
            counters = MEMORY_ROWS.get(pattern)
            figure = memory(hits[0], counters) if counters else fmt(ms(hits[0]))
            if pattern in PEAK_ROWS:
                peak = hits[0].get("peak_MiB", -1)
                figure += f" (peak +{peak:.0f} MiB)" if peak >= 0 else " (peak not measured)"
            print(f"| {operation} | {model} | {figure} | {goal} |")


if __name__ == "__main__":
    main()
