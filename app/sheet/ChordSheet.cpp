#include "app/sheet/ChordSheet.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>

namespace sheet {

namespace {

constexpr const char* FONT = "DejaVu Sans";

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

enum class Align { LEFT, CENTRE, RIGHT };

void Text(cairo_t* cr, double x, double baseline, double size, std::string_view text,
          Align align = Align::CENTRE, bool bold = false) {
    std::string s(text);
    cairo_select_font_face(cr, FONT, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    double width = extents.x_advance;
    cairo_move_to(cr,
                  align == Align::LEFT     ? x
                  : align == Align::CENTRE ? x - width / 2
                                           : x - width,
                  baseline);
    cairo_show_text(cr, s.c_str());
}

void Line(cairo_t* cr, double x1, double y1, double x2, double y2, double width) {
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
}

// Where one box lies: its top-left corner, the hand, and the strings' sounding notes.
struct BoxFrame {
    double left, top;
    bool leftHanded;
    const std::array<std::string, theory::STRING_COUNT>& names;

    int Column(int s) const { return leftHanded ? theory::STRING_COUNT - 1 - s : s; }
    double StringX(int s) const { return left + STRING_GAP * Column(s); }
    double RowY(int row) const { return top + FRET_GAP * (row - 0.5); }
    double Right() const { return left + STRING_GAP * (theory::STRING_COUNT - 1); }
    double Bottom() const { return top + FRET_GAP * FRET_ROWS; }
};

// The strings, the fret wires, and the nut as a thick top line when the shape starts there.
void DrawGrid(cairo_t* cr, const BoxFrame& box, bool atNut) {
    for (int s = 0; s < theory::STRING_COUNT; ++s)
        Line(cr, box.StringX(s), box.top, box.StringX(s), box.Bottom(), 1);
    for (int row = 1; row <= FRET_ROWS; ++row)
        Line(cr, box.left - 0.5, box.top + FRET_GAP * row, box.Right() + 0.5,
             box.top + FRET_GAP * row, 1);
    if (atNut) {
        cairo_rectangle(cr, box.left - 0.5, box.top - 4, box.Right() - box.left + 1, 4.5);
        cairo_fill(cr);
    } else {
        Line(cr, box.left - 0.5, box.top, box.Right() + 0.5, box.top, 1);
    }
    for (int s = 0; s < theory::STRING_COUNT; ++s)
        Text(cr, box.StringX(s), box.Bottom() + 16, 9, box.names[static_cast<std::size_t>(s)]);
}

// A bar under the strings that share the lowest fret of a run of fretted strings, as the
// program's own diagram draws it.
void DrawBarres(cairo_t* cr, const BoxFrame& box, const theory::Voicing& voicing) {
    const theory::Barres barres = theory::FindBarres(voicing);
    for (const theory::Barre& barre : barres.View()) {
        double x1 = box.StringX(barre.from), x2 = box.StringX(barre.to), y = box.RowY(barre.row);
        cairo_rectangle(cr, std::min(x1, x2), y - DOT_RADIUS * 0.6, std::abs(x2 - x1),
                        DOT_RADIUS * 1.2);
        cairo_fill(cr);
    }
}

// Dots on the fretted strings, o over open ones, x over muted ones.
void DrawMarks(cairo_t* cr, const BoxFrame& box, const theory::Voicing& voicing) {
    const double markY = box.top - 11;
    for (int s = 0; s < theory::STRING_COUNT; ++s) {
        int fret = voicing.frets[static_cast<std::size_t>(s)];
        double x = box.StringX(s);
        if (fret == theory::NOT_PLAYED) {
            Line(cr, x - 3.5, markY - 3.5, x + 3.5, markY + 3.5, 1.2);
            Line(cr, x + 3.5, markY - 3.5, x - 3.5, markY + 3.5, 1.2);
        } else if (fret == 0) {
            cairo_set_line_width(cr, 1.2);
            cairo_new_path(cr);  // text leaves a current point behind
            cairo_arc(cr, x, markY, 3.5, 0, 2 * M_PI);
            cairo_stroke(cr);
        } else {
            cairo_new_path(cr);
            cairo_arc(cr, x, box.RowY(fret - voicing.labelFret), DOT_RADIUS, 0, 2 * M_PI);
            cairo_fill(cr);
        }
    }
}

void DrawBox(cairo_t* cr, const Sheet& sheet, const SheetBox& item, double x0, double y0) {
    BoxFrame box{x0 + BOX_LEFT, y0 + BOX_TOP, sheet.leftHanded, sheet.stringNames};
    Text(cr, x0 + CELL_WIDTH / 2, y0 + 16, 10.5, item.name);
    DrawGrid(cr, box, !item.voicing || item.voicing->labelFret == 0);
    if (item.voicing) {
        // The first fret's number beside its row, when the shape sits above the nut.
        if (item.voicing->labelFret > 0)
            Text(cr, box.left - 12, box.RowY(1) + 4, 10,
                 std::to_string(item.voicing->labelFret + 1), Align::RIGHT);
        DrawBarres(cr, box, *item.voicing);
        DrawMarks(cr, box, *item.voicing);
    }
    if (!item.caption.empty()) Text(cr, x0 + CELL_WIDTH / 2, y0 + 172, 10, item.caption);
}

// The title line, then the boxes from the grid's first cell on.
void DrawPage(cairo_t* cr, const Sheet& sheet, std::span<const SheetBox> boxes,
              const std::string& pageText, double width) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    Text(cr, MARGIN, MARGIN + 18, 14, sheet.title, Align::LEFT, true);
    if (!pageText.empty()) Text(cr, width - MARGIN, MARGIN + 18, 10, pageText, Align::RIGHT);
    if (sheet.boxes.empty()) Text(cr, MARGIN, GRID_TOP + 20, 11, "no playable shape", Align::LEFT);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        double x0 = MARGIN + CELL_WIDTH * static_cast<double>(i % COLUMNS);
        double y0 = GRID_TOP + CELL_HEIGHT * static_cast<double>(i / COLUMNS);
        DrawBox(cr, sheet, boxes[i], x0, y0);
    }
}

// One picture for all the boxes: the page's width, as tall as the rows need.
double PictureHeight(const Sheet& sheet) {
    std::size_t rows = std::max<std::size_t>(1, (sheet.boxes.size() + COLUMNS - 1) / COLUMNS);
    return GRID_TOP + CELL_HEIGHT * static_cast<double>(rows) + MARGIN;
}

std::string Finished(cairo_surface_t* surface, cairo_t* cr) {
    cairo_status_t status = cairo_status(cr);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    if (status == CAIRO_STATUS_SUCCESS) return {};
    return std::string("could not draw the sheet: ") + cairo_status_to_string(status);
}

std::string DrawPdf(const Sheet& sheet, std::vector<std::uint8_t>& bytes) {
    Surface surface(
        cairo_pdf_surface_create_for_stream(AppendBytes, &bytes, PAGE_WIDTH, PAGE_HEIGHT));
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, sheet.title.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "fretlore");
    Context cr(cairo_create(surface.get()));
    int pages = PageCount(sheet);
    std::span<const SheetBox> all(sheet.boxes);
    for (int page = 0; page < pages; ++page) {
        // An empty sheet has one page and no boxes.
        std::span<const SheetBox> boxes =
            all.first(std::min<std::size_t>(BOXES_PER_PAGE, all.size()));
        all = all.subspan(boxes.size());
        std::string pageText =
            pages > 1 ? "page " + std::to_string(page + 1) + " of " + std::to_string(pages) : "";
        DrawPage(cr.get(), sheet, boxes, pageText, PAGE_WIDTH);
        cairo_show_page(cr.get());
    }
    return Finished(surface.get(), cr.get());
}

std::string DrawPng(const Sheet& sheet, std::vector<std::uint8_t>& bytes) {
    int width = static_cast<int>(std::ceil(PAGE_WIDTH * PNG_SCALE));
    int height = static_cast<int>(std::ceil(PictureHeight(sheet) * PNG_SCALE));
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    Context cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), PNG_SCALE, PNG_SCALE);
    DrawPage(cr.get(), sheet, sheet.boxes, "", PAGE_WIDTH);
    cairo_surface_flush(surface.get());
    cairo_status_t status = cairo_surface_write_to_png_stream(surface.get(), AppendBytes, &bytes);
    if (status != CAIRO_STATUS_SUCCESS)
        return std::string("could not draw the sheet: ") + cairo_status_to_string(status);
    return Finished(surface.get(), cr.get());
}

std::string XmlEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The drawing carries its text as glyph outlines; an invisible group per box over it gives
// viewers (and readers of the file) each box's name and caption, in order.
std::string BoxAnnotations(const Sheet& sheet) {
    std::string groups = "<g id=\"chord-boxes\" fill=\"none\" stroke=\"none\">\n";
    for (std::size_t i = 0; i < sheet.boxes.size(); ++i) {
        const SheetBox& box = sheet.boxes[i];
        std::string text = box.name + (box.caption.empty() ? "" : " — " + box.caption);
        groups += "<g class=\"chord-box\" id=\"box-" + std::to_string(i + 1) + "\"><title>" +
                  XmlEscaped(text) + "</title><rect x=\"" +
                  std::to_string(MARGIN + CELL_WIDTH * static_cast<double>(i % COLUMNS)) +
                  "\" y=\"" +
                  std::to_string(GRID_TOP + CELL_HEIGHT * static_cast<double>(i / COLUMNS)) +
                  "\" width=\"" + std::to_string(CELL_WIDTH) + "\" height=\"" +
                  std::to_string(CELL_HEIGHT) + "\"/></g>\n";
    }
    return groups + "</g>\n";
}

std::string DrawSvg(const Sheet& sheet, std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> drawn;
    Surface surface(
        cairo_svg_surface_create_for_stream(AppendBytes, &drawn, PAGE_WIDTH, PictureHeight(sheet)));
    Context cr(cairo_create(surface.get()));
    DrawPage(cr.get(), sheet, sheet.boxes, "", PAGE_WIDTH);
    if (std::string error = Finished(surface.get(), cr.get()); !error.empty()) return error;
    std::string svg(drawn.begin(), drawn.end());
    std::size_t open = svg.find("<svg");
    std::size_t openEnd = open == std::string::npos ? open : svg.find('>', open);
    std::size_t close = svg.rfind("</svg>");
    if (openEnd == std::string::npos || close == std::string::npos || close < openEnd)
        return "could not draw the sheet: the SVG drawing has no <svg> element";
    svg.insert(close, BoxAnnotations(sheet));
    svg.insert(openEnd + 1, "\n<title>" + XmlEscaped(sheet.title) + "</title>");
    bytes.assign(svg.begin(), svg.end());
    return {};
}

}  // namespace

int PageCount(const Sheet& sheet) {
    return std::max(1,
                    static_cast<int>((sheet.boxes.size() + BOXES_PER_PAGE - 1) / BOXES_PER_PAGE));
}

std::string DrawSheet(const Sheet& sheet, SheetFormat format, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::string error = format == SheetFormat::PDF   ? DrawPdf(sheet, bytes)
                        : format == SheetFormat::SVG ? DrawSvg(sheet, bytes)
                                                     : DrawPng(sheet, bytes);
    if (!error.empty()) bytes.clear();
    return error;
}

}  // namespace sheet
